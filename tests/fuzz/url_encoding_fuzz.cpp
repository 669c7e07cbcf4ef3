#include <cstdint>
#include <optional>
#include <string>

#include "alerts/url_encoding.h"
#include "fuzz_check.h"

using namespace wardel;

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1; // the encoder writes upper-case hex only
}

// The bytes a query value stands for; nullopt when a "%" is not followed by two hex digits.
std::optional<std::string> percentDecode(std::string_view encoded) {
    std::string out;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] != '%') {
            out += encoded[i];
            continue;
        }
        if (i + 2 >= encoded.size())
            return std::nullopt;
        const int high = hexDigit(encoded[i + 1]);
        const int low = hexDigit(encoded[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

} // namespace

// Any bytes as a query value: the value travels as legal URL characters that cannot end or split it, and
// decodes back to the same bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view value = fuzz::asText(data, size);
    const std::string encoded = encodeQueryValue(value);
    for (const char c : encoded) {
        const auto byte = static_cast<unsigned char>(c);
        fuzz::require(byte > 0x20 && byte < 0x7F, "only visible ASCII travels");
        fuzz::require(std::string_view("\"#&<=>[\\]^`{|}").find(c) == std::string_view::npos,
                      "no character that would change the request travels literally");
    }
    fuzz::require(percentDecode(encoded) == std::optional<std::string>(value), "the value decodes back to its bytes");
    return 0;
}
