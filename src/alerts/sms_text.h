#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace wardel {

// The most characters one SMS carries.
inline constexpr std::size_t kSmsCharacters = 160;

// The SMS credit as a count: the credit text without its surrounding blanks, its leading number rounded
// to the nearest integer, halves to the even neighbour; no number gives 0. A count beyond the 32-bit range
// keeps its sign at the range's end, so an enormous credit still counts as credit.
std::int32_t smsCredits(std::string_view creditText);

// Keeps the first `characters` characters (code points) of a UTF-8 text, so a multi-byte character is kept
// whole or dropped whole, never cut; an ill-formed part counts as one character.
void keepFirstCharacters(std::string& text, std::size_t characters);

} // namespace wardel
