#include "common/utf8.h"

namespace wardel::utf8 {
namespace {

// Length of the well-formed sequence a lead byte starts (0 for a byte that cannot start one), and the range
// its second byte must fall in, which rules out overlong forms, surrogates and code points above U+10FFFF.
struct LeadByte {
    std::size_t length = 0;
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
};

LeadByte classifyLead(unsigned char b) {
    if (b >= 0xC2 && b <= 0xDF)
        return {2};
    if (b == 0xE0)
        return {3, 0xA0, 0xBF};
    if (b == 0xED)
        return {3, 0x80, 0x9F};
    if (b >= 0xE1 && b <= 0xEF)
        return {3};
    if (b == 0xF0)
        return {4, 0x90, 0xBF};
    if (b >= 0xF1 && b <= 0xF3)
        return {4};
    if (b == 0xF4)
        return {4, 0x80, 0x8F};
    return {};
}

} // namespace

CodePoint decodeFront(std::string_view text) {
    if (text.empty())
        return {};
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80)
        return {lead, 1, true};
    const LeadByte kind = classifyLead(lead);
    char32_t code = lead & (0x7F >> kind.length);
    std::size_t taken = 1; // the lead byte, then every continuation byte that still fits the sequence
    while (taken < kind.length && taken < text.size()) {
        const auto next = static_cast<unsigned char>(text[taken]);
        const unsigned char low = taken == 1 ? kind.secondLow : 0x80;
        const unsigned char high = taken == 1 ? kind.secondHigh : 0xBF;
        if (next < low || next > high)
            break;
        code = (code << 6) | (next & 0x3F);
        ++taken;
    }
    if (kind.length > 0 && taken == kind.length)
        return {code, taken, true};
    return {kReplacementCode, taken, false};
}

std::string toValid(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const CodePoint c = decodeFront(bytes.substr(i));
        if (c.wellFormed)
            text.append(bytes.substr(i, c.bytes));
        else
            text.append(kReplacement);
        i += c.bytes;
    }
    return text;
}

std::size_t countCodePoints(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); i += decodeFront(text.substr(i)).bytes)
        ++count;
    return count;
}

std::size_t prefixBytes(std::string_view text, std::size_t codePoints) {
    std::size_t i = 0;
    for (std::size_t n = 0; n < codePoints && i < text.size(); ++n)
        i += decodeFront(text.substr(i)).bytes;
    return i;
}

std::string withoutControls(std::string_view line) {
    std::string text;
    text.reserve(line.size());
    std::size_t i = 0;
    while (i < line.size()) {
        if (line.substr(i, 2) == "\r\n") {
            text += ' ';
            i += 2;
            continue;
        }
        const CodePoint c = decodeFront(line.substr(i));
        const bool control = (c.code < 0x20 && c.code != '\t') || (c.code >= 0x7F && c.code <= 0x9F);
        if (c.wellFormed && !control)
            text.append(line.substr(i, c.bytes));
        else
            text += kReplacement;
        i += c.bytes;
    }
    return text;
}

} // namespace wardel::utf8
