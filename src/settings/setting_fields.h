#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/app_settings.h"

namespace wardel {

// Every persisted setting, described once: its line in setting.ini, its member, how it is read and written,
// its default, and the settings dialog control that edits it. The load, the save, the dialog's fill and the
// dialog's copy back all walk this table, so a new setting is a member of AppSettings and a row here (and
// its control on the dialog).
struct SettingField {
    enum class Kind {
        Text,        // kept as text; a number in it is read where it is used
        Switch,      // a check box state; the file's line is read by its leading number
        WholeSwitch, // as Switch, but the line must be a number as a whole, else the switch keeps its value
        Minutes,     // a period in minutes as text; loading or saving it restarts its I-am-alive countdown
    };
    // Where blanks around a text survive; the file never holds them.
    enum class Blanks {
        Dropped,     // trimmed when loaded and when the dialog copies it back
        KeptOnLoad,  // a line that is not empty loads exactly as read, blanks and all
        KeptAsTyped, // the dialog copies the box as typed; the load trims
    };

    int line; // 1 is the file's first line
    Kind kind;
    std::string AppSettings::*text = nullptr;         // Text and Minutes
    std::int16_t AppSettings::*onOff = nullptr;       // Switch and WholeSwitch
    std::int16_t RuntimeValues::*countdown = nullptr; // Minutes
    Blanks blanks = Blanks::Dropped;
    // Replaces an empty value when the dialog fills its boxes; a Text field also when its line loads empty.
    const char* fallback = nullptr;
    const char* control = ""; // the settings dialog's control that edits the field

    bool isSwitch() const { return kind == Kind::Switch || kind == Kind::WholeSwitch; }
};

namespace setting_field {

constexpr SettingField text(int line, std::string AppSettings::*member, const char* control,
                            SettingField::Blanks blanks = SettingField::Blanks::Dropped,
                            const char* fallback = nullptr) {
    return {line, SettingField::Kind::Text, member, nullptr, nullptr, blanks, fallback, control};
}
constexpr SettingField onOff(int line, std::int16_t AppSettings::*member, const char* control,
                             SettingField::Kind kind = SettingField::Kind::Switch) {
    return {line, kind, nullptr, member, nullptr, SettingField::Blanks::Dropped, nullptr, control};
}
constexpr SettingField minutes(int line, std::string AppSettings::*member, std::int16_t RuntimeValues::*countdown,
                               const char* control, const char* fallback) {
    return {line,      SettingField::Kind::Minutes,   member,   nullptr,
            countdown, SettingField::Blanks::Dropped, fallback, control};
}

} // namespace setting_field

// In the order of the file's lines.
inline constexpr auto kSettingFields = [] {
    using namespace setting_field;
    using B = SettingField::Blanks;
    using S = AppSettings;
    return std::array{
        text(1, &S::timeInterval, "TimeInterval", B::KeptOnLoad, "60"),
        text(2, &S::timeOut, "TimeOut", B::KeptOnLoad, "30"),
        onOff(3, &S::alertEnabled, "Check2"),
        text(4, &S::smsEmail, "smsEmail", B::KeptAsTyped),
        text(5, &S::smsPassword, "smsPassword", B::KeptAsTyped),
        text(6, &S::smsPhone, "smsPhone", B::KeptAsTyped),
        onOff(7, &S::startOnLaunch, "Check4"),
        onOff(8, &S::logEnabled, "Enable_log"),
        text(9, &S::mailList, "Mail_List"),
        text(10, &S::maxSms, "max_SMS", B::KeptAsTyped),
        onOff(11, &S::aliveEnabled, "alive_Email", SettingField::Kind::WholeSwitch),
        minutes(12, &S::aliveMailMinutes, &RuntimeValues::aliveMailCountdown, "min_Select", "60"),
        text(13, &S::aliveMailTo, "mailTo1"),
        minutes(14, &S::aliveSmsMinutes, &RuntimeValues::aliveSmsCountdown, "min_Select1", "720"),
        text(15, &S::aliveSmsTo, "smsTo1"),
    };
}();

inline constexpr std::size_t kSettingLines = kSettingFields.size();

static_assert(
    [] {
        for (std::size_t i = 0; i < kSettingFields.size(); ++i)
            if (kSettingFields[i].line != static_cast<int>(i) + 1)
                return false;
        return true;
    }(),
    "one field a line, in the order of the file");

} // namespace wardel
