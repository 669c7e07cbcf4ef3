#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "settings/settings_file.h"

using namespace wardel;

// Any bytes as setting.ini. The switches read are check box states, and no field holds a line end that
// would shift the lines when the file is saved.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    AppSettings s;
    RuntimeValues runtime;
    readSettingsText(std::string(fuzz::asText(data, size)), s, runtime);
    for (const std::int16_t value : {s.alertEnabled, s.startOnLaunch, s.logEnabled, s.aliveEnabled})
        fuzz::require(value == 0 || value == 1, "a switch is 0 or 1");
    for (const std::string* text : {&s.timeInterval, &s.timeOut, &s.smsEmail, &s.smsPassword, &s.smsPhone, &s.mailList,
                                    &s.maxSms, &s.aliveMailMinutes, &s.aliveMailTo, &s.aliveSmsMinutes, &s.aliveSmsTo})
        fuzz::require(text->find('\n') == std::string::npos, "no field holds an LF");
    return 0;
}
