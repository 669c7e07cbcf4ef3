#include "alerts/url_encoding.h"

namespace wardel {
namespace {

bool NeedsEncoding(unsigned char byte) {
    if (byte <= 0x20 || byte >= 0x7F)
        return true;
    constexpr std::string_view kSpecial = "\"#%&*+<=>[\\]^`{|}";
    return kSpecial.find(static_cast<char>(byte)) != std::string_view::npos;
}

std::string Encode(std::string_view value, bool keepPlus) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(value.size());
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (!NeedsEncoding(byte) || (keepPlus && c == '+')) {
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

std::string EncodeQueryValue(std::string_view value) {
    return Encode(value, false);
}

std::string EncodeRecipientNumbers(std::string_view value) {
    return Encode(value, true);
}

} // namespace wardel
