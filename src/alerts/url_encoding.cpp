#include "alerts/url_encoding.h"

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

} // namespace wardel
