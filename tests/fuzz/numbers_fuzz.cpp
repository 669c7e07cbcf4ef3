#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "common/numbers.h"
#include "fuzz_check.h"

using namespace wardel;

// Any bytes as a number in a setting or a grid cell, and as a double to round.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::asText(data, size);
    const double value = leadingNumber(text);
    fuzz::require(!std::isnan(value), "a number read is never NaN");
    fuzz::require(leadingNumber(std::string(text) + "x") == value, "reading stops where the number ends");

    // Without an exponent, fewer than 309 digits before the point cannot exceed a double's range.
    const std::string_view beforePoint = text.substr(0, text.find('.'));
    const auto digits =
        std::count_if(beforePoint.begin(), beforePoint.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (text.find_first_of("eE") == std::string_view::npos && digits < 309)
        fuzz::require(std::isfinite(value), "a number without exponent and under 309 digits is finite");

    (void)toInt16(text);
    (void)toInt32(text);

    const std::string_view trimmed = trim(text);
    fuzz::require(trimmed.empty() || (trimmed.front() != ' ' && trimmed.back() != ' '), "Trim drops the blanks");

    if (size >= sizeof(double)) {
        double raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        (void)roundToInt16(raw);
        (void)roundToInt32(raw);
    }
    return 0;
}
