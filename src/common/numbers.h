#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace wardel {

// Numbers from text, the way every setting and grid cell is read as a number: the leading number of the
// text is taken (blanks are skipped; a sign, digits, one decimal point and an exponent continue the
// number, anything else ends it); no number gives 0.
double leadingNumber(std::string_view text);

// The leading number rounded to the nearest integer, halves to the even neighbour. A value outside the
// type's range is a failed conversion (nullopt); each caller decides what a failure means.
std::optional<std::int16_t> toInt16(std::string_view text);
std::optional<std::int32_t> toInt32(std::string_view text);

// The whole text (no blanks around it) read as one number and rounded like ToInt16; nullopt when the text
// is empty, holds anything after the number, or the result does not fit.
std::optional<std::int16_t> wholeToInt16(std::string_view text);

// Rounds halves to the even neighbour; nullopt when the result does not fit.
std::optional<std::int16_t> roundToInt16(double value);
std::optional<std::int32_t> roundToInt32(double value);

// The text without its leading and trailing blanks.
std::string_view trim(std::string_view text);

} // namespace wardel
