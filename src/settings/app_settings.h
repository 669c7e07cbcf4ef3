#pragma once

#include <cstdint>
#include <string>

namespace wardel {

// The settings that survive a restart, one line of setting.ini each (kSettingFields describes the lines). Numbers the
// operator types are kept as text; each reader converts them where it uses them. Switches carry a check box state: 0
// off, 1 on. Every member has its initial value, so settings can be spelt by the fields that matter:
// AppSettings{.logEnabled = 1}.
struct AppSettings {
    std::string timeInterval{}; // seconds between two monitoring cycles
    std::string timeOut{};      // seconds a connection attempt may take
    std::int16_t alertEnabled = 0;
    std::string smsEmail{};
    std::string smsPassword{};
    std::string smsPhone{};
    std::int16_t startOnLaunch = 0;
    std::int16_t logEnabled = 0;
    std::string mailList{};
    std::string maxSms{};
    std::int16_t aliveEnabled = 0;
    std::string aliveMailMinutes{};
    std::string aliveMailTo{};
    std::string aliveSmsMinutes{};
    std::string aliveSmsTo{};

    bool operator==(const AppSettings&) const = default;
};

// Values held beside the settings for the run only; never written to the file.
struct RuntimeValues {
    std::int16_t smsSentToday = 0;
    std::int16_t aliveMailCountdown = 0;
    std::int16_t aliveSmsCountdown = 0;
    std::int16_t mailListWithSms = 0;
};

} // namespace wardel
