#include "alerts/url_encoding.h"

#include "common/utf8.h"

namespace wardel {
namespace {

bool needsEncoding(unsigned char byte) {
    if (byte <= 0x20 || byte >= 0x7F)
        return true;
    constexpr std::string_view kSpecial = "\"#%&*+<=>[\\]^`{|}";
    return kSpecial.find(static_cast<char>(byte)) != std::string_view::npos;
}

std::string encode(std::string_view value, bool keepPlus) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(value.size());
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (!needsEncoding(byte) || (keepPlus && c == '+')) {
            encoded += c;
            continue;
        }
        encoded += '%';
        encoded += kHex[byte >> 4];
        encoded += kHex[byte & 0x0F];
    }
    return encoded;
}

} // namespace

std::string encodeQueryValue(std::string_view value) {
    return encode(value, false);
}

std::string encodeRecipientNumbers(std::string_view value) {
    return encode(value, true);
}

std::string cutToEncodedSize(std::string_view text, std::size_t bytes) {
    constexpr std::string_view kEllipsis = "\xE2\x80\xA6"; // U+2026
    const std::size_t ellipsis = encode(kEllipsis, false).size();
    // Reads no further than the room allows, so a text of megabytes costs what its kept start costs.
    std::size_t used = 0;
    std::size_t cut = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = utf8::decodeFront(text.substr(i)).bytes;
        used += encode(text.substr(i, length), false).size();
        if (used > bytes)
            return std::string(text.substr(0, cut)) + std::string(kEllipsis);
        i += length;
        if (used + ellipsis <= bytes)
            cut = i;
    }
    return std::string(text);
}

} // namespace wardel
