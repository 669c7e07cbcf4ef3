#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "settings/app_settings.h"

namespace wardel {

// Every persisted setting, described once: its line in setting.ini, its member, how it is read and written,
// and its default. The load, the save, the dialog's fill and the dialog's copy back all walk this table, so a
// new setting is a member of AppSettings and a row here, and its control on the dialog with the row that
// pairs the two (kSettingControls).
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

    bool isSwitch() const { return kind == Kind::Switch || kind == Kind::WholeSwitch; }
};

namespace setting_field {

constexpr SettingField text(int line, std::string AppSettings::*member,
                            SettingField::Blanks blanks = SettingField::Blanks::Dropped,
                            const char* fallback = nullptr) {
    return {line, SettingField::Kind::Text, member, nullptr, nullptr, blanks, fallback};
}
constexpr SettingField onOff(int line, std::int16_t AppSettings::*member,
                             SettingField::Kind kind = SettingField::Kind::Switch) {
    return {line, kind, nullptr, member, nullptr, SettingField::Blanks::Dropped, nullptr};
}
constexpr SettingField minutes(int line, std::string AppSettings::*member, std::int16_t RuntimeValues::*countdown,
                               const char* fallback) {
    return {line, SettingField::Kind::Minutes, member, nullptr, countdown, SettingField::Blanks::Dropped, fallback};
}

} // namespace setting_field

// In the order of the file's lines.
inline constexpr auto kSettingFields = [] {
    using namespace setting_field;
    using B = SettingField::Blanks;
    using S = AppSettings;
    return std::array{
        text(1, &S::timeInterval, B::KeptOnLoad, "60"),
        text(2, &S::timeOut, B::KeptOnLoad, "30"),
        onOff(3, &S::alertEnabled),
        text(4, &S::smsEmail, B::KeptAsTyped),
        text(5, &S::smsPassword, B::KeptAsTyped),
        text(6, &S::smsPhone, B::KeptAsTyped),
        onOff(7, &S::startOnLaunch),
        onOff(8, &S::logEnabled),
        text(9, &S::mailList),
        text(10, &S::maxSms, B::KeptAsTyped),
        onOff(11, &S::aliveEnabled, SettingField::Kind::WholeSwitch),
        minutes(12, &S::aliveMailMinutes, &RuntimeValues::aliveMailCountdown, "60"),
        text(13, &S::aliveMailTo),
        minutes(14, &S::aliveSmsMinutes, &RuntimeValues::aliveSmsCountdown, "720"),
        text(15, &S::aliveSmsTo),
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

// The row of a member; a member without a row does not compile where the row is asked for at compile time.
template <typename Member> constexpr const SettingField& settingField(Member AppSettings::*member) {
    for (const SettingField& field : kSettingFields) {
        if constexpr (std::is_same_v<Member, std::string>) {
            if (field.text == member)
                return field;
        } else {
            if (field.onOff == member)
                return field;
        }
    }
    throw std::logic_error("a member of AppSettings without its row in kSettingFields");
}

// What an empty text setting stands for, where it has a default (the cycle interval's "60", ...).
constexpr const char* settingDefault(std::string AppSettings::*member) {
    return settingField(member).fallback;
}

} // namespace wardel
