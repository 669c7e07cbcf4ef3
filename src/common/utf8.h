#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace wardel::utf8 {

inline constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD
inline constexpr char32_t kReplacementCode = 0xFFFD;

// One code point read from the front of a text. A well-formed sequence is its code point; a stretch that
// cannot be read (a continuation byte on its own, an overlong form, a surrogate, a code above U+10FFFF, a
// sequence cut short) is U+FFFD, one per maximal ill-formed part, as Unicode recommends.
struct CodePoint {
    char32_t code = 0;
    std::size_t bytes = 0; // taken from the text: at least one, unless the text is empty
    bool wellFormed = false;
};
CodePoint decodeFront(std::string_view text);

// The text with every ill-formed part replaced by U+FFFD; well-formed text comes back unchanged.
std::string toValid(std::string_view bytes);

// Code points of the text, each ill-formed part counting as one.
std::size_t countCodePoints(std::string_view text);

// The bytes of the first `codePoints` code points: a cut there never falls inside a sequence. The whole
// size when the text has no more code points than that. Reads no further than the cut.
std::size_t prefixBytes(std::string_view text, std::size_t codePoints);

// A line as the day's log file takes it: a control character (an escape sequence, a bell or a C1 CSI in a
// description) or a byte that is no UTF-8 would act on the terminal of whoever shows the file, so each
// becomes U+FFFD; a tab stays a tab. A CR LF is a line break of Wardel's own texts (the "I am alive" SMS; a
// host.ini field cannot hold one) and is written as one space, so the line stays one line.
std::string withoutControls(std::string_view line);

} // namespace wardel::utf8
