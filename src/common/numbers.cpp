#include "common/numbers.h"

#include <algorithm>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace wardel {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

template <typename Int> std::optional<Int> roundTo(double value) {
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

// For a gathered number (digits, at most one point, an exponent with its digits) that from_chars found out
// of range: true when it is too large, false when too small. The place value of its first non-zero digit,
// shifted by the exponent, says which; exponents beyond any double's reach are capped so they cannot wrap.
bool aboveRange(std::string_view number) {
    const auto mark = number.find('e');
    const std::string_view mantissa = number.substr(0, mark);
    const auto first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos)
        return false;
    const auto point = static_cast<long long>(std::min(mantissa.find('.'), mantissa.size()));
    const auto at = static_cast<long long>(first);
    const long long place = at < point ? point - at - 1 : point - at;
    long long exponent = 0;
    if (mark != std::string_view::npos) {
        std::string_view digits = number.substr(mark + 1);
        const bool negative = digits.front() == '-';
        if (digits.front() == '+' || digits.front() == '-')
            digits.remove_prefix(1);
        for (const char c : digits)
            exponent = std::min(exponent * 10 + (c - '0'), 1'000'000'000LL);
        if (negative)
            exponent = -exponent;
    }
    return place + exponent > 0;
}

} // namespace

double leadingNumber(std::string_view text) {
    // Gather the characters that form the number, blanks left out, then let strtod read them.
    std::string number;
    bool digits = false, point = false, exponent = false, exponentDigits = false;
    for (const char c : text) {
        if (isBlank(c))
            continue;
        const bool afterExponentMark = exponent && !number.empty() && (number.back() == 'e');
        if ((c == '+' || c == '-') && (number.empty() || afterExponentMark)) {
            number += c;
        } else if (isDigit(c)) {
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
        value = aboveRange(std::string_view(number).substr(start)) ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -value : value;
}

std::optional<std::int16_t> roundToInt16(double value) {
    return roundTo<std::int16_t>(value);
}
std::optional<std::int32_t> roundToInt32(double value) {
    return roundTo<std::int32_t>(value);
}

std::optional<std::int16_t> toInt16(std::string_view text) {
    return roundToInt16(leadingNumber(text));
}
std::optional<std::int32_t> toInt32(std::string_view text) {
    return roundToInt32(leadingNumber(text));
}

std::optional<std::int16_t> wholeToInt16(std::string_view text) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    bool negative = false;
    if (first != last && (*first == '+' || *first == '-')) {
        negative = *first == '-';
        ++first;
    }
    if (first == last || *first == '+' || *first == '-')
        return std::nullopt;
    double value = 0;
    const auto result = std::from_chars(first, last, value);
    if (result.ec != std::errc() || result.ptr != last)
        return std::nullopt;
    return roundToInt16(negative ? -value : value);
}

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

} // namespace wardel
