#include "common/saturating.h"

#include <limits>

#include "common/numbers.h"

namespace wardel {

std::int16_t saturatedInt16(std::string_view text) {
    const double value = leadingNumber(text);
    if (const auto number = roundToInt16(value))
        return *number;
    return value > 0 ? std::numeric_limits<std::int16_t>::max() : std::numeric_limits<std::int16_t>::min();
}

} // namespace wardel
