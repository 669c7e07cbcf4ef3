#include "alerts/sms_text.h"

#include <limits>

#include "common/numbers.h"
#include "common/utf8.h"

namespace wardel {

std::int32_t smsCredits(std::string_view creditText) {
    const double value = leadingNumber(trim(creditText));
    if (const auto rounded = roundToInt32(value))
        return *rounded;
    return value > 0 ? std::numeric_limits<std::int32_t>::max() : std::numeric_limits<std::int32_t>::min();
}

void keepFirstCharacters(std::string& text, std::size_t characters) {
    text.resize(utf8::prefixBytes(text, characters));
}

} // namespace wardel
