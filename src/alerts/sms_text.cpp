#include "alerts/sms_text.h"

#include <limits>

#include "common/numbers.h"

namespace wardel {

std::int32_t smsCredits(std::string_view creditText) {
    const double value = leadingNumber(trim(creditText));
    if (const auto rounded = roundToInt32(value))
        return *rounded;
    return value > 0 ? std::numeric_limits<std::int32_t>::max() : std::numeric_limits<std::int32_t>::min();
}

void keepFirstCharacters(std::string& text, std::size_t characters) {
    const auto continuation = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; };
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i > 0 && continuation(text[i]))
            continue;
        if (seen == characters) {
            text.resize(i);
            return;
        }
        ++seen;
    }
}

} // namespace wardel
