#include "app/numbers.h"

#include <algorithm>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace wardel {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// For a number too large or too small for a double: true when too small. The power of ten of its first
// significant digit decides, and any exponent is far beyond what that power needs.
bool Underflows(std::string_view number) {
    const auto mark = number.find('e');
    const std::string_view mantissa = number.substr(0, mark);
    const auto first = mantissa.find_first_of("123456789");
    const auto point = std::min(mantissa.find('.'), mantissa.size());
    if (first == std::string_view::npos)
        return true;
    const long long digitPower =
        first < point ? static_cast<long long>(point - first - 1) : -static_cast<long long>(first - point);
    long long exponent = 0;
    if (mark != std::string_view::npos) {
        // Saturate well beyond a double's range so a long exponent cannot overflow.
        constexpr long long kCap = 1'000'000'000;
        for (const char c : number.substr(mark + 1))
            if (IsDigit(c))
                exponent = std::min(exponent * 10 + (c - '0'), kCap);
        if (number.find("e-") != std::string_view::npos)
            exponent = -exponent;
    }
    return digitPower + exponent < 0;
}

template <typename Int> std::optional<Int> RoundTo(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    // nearbyint rounds in the current mode, which is to-nearest-even unless someone changed it.
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(saved);
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max()))
        return std::nullopt;
    return static_cast<Int>(rounded);
}

}  // namespace

double LeadingNumber(std::string_view text) {
    // Gather the characters that form the number, blanks left out, then let strtod read them.
    std::string number;
    bool digits = false, point = false, exponent = false, exponentDigits = false;
    for (const char c : text) {
        if (IsBlank(c))
            continue;
        const bool afterExponentMark = exponent && !number.empty() && (number.back() == 'e');
        if ((c == '+' || c == '-') && (number.empty() || afterExponentMark)) {
            number += c;
        } else if (IsDigit(c)) {
            number += c;
            (exponent ? exponentDigits : digits) = true;
        } else if (c == '.' && !point && !exponent) {
            number += c;
            point = true;
        } else if ((c == 'e' || c == 'E') && digits && !exponent) {
            number += 'e';
            exponent = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0.0;
    if (exponent && !exponentDigits) {
        // "1e" or "1e+" carries no exponent: drop the mark and its sign.
        number.erase(number.find('e'));
    }
    // from_chars ignores the process locale, so "1.5" reads the same under every desktop language.
    bool negative = false;
    std::size_t start = 0;
    if (number[0] == '+' || number[0] == '-') {
        negative = number[0] == '-';
        start = 1;
    }
    double value = 0.0;
    const auto result = std::from_chars(number.data() + start, number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        value = Underflows(std::string_view(number).substr(start)) ? 0.0 : std::numeric_limits<double>::infinity();
    return negative ? -value : value;
}

std::optional<std::int16_t> RoundToInt16(double value) { return RoundTo<std::int16_t>(value); }
std::optional<std::int32_t> RoundToInt32(double value) { return RoundTo<std::int32_t>(value); }

std::optional<std::int16_t> ToInt16(std::string_view text) { return RoundToInt16(LeadingNumber(text)); }
std::optional<std::int32_t> ToInt32(std::string_view text) { return RoundToInt32(LeadingNumber(text)); }

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}  // namespace wardel
