#pragma once

#include <string>

#include "settings/app_settings.h"
#include "settings/setting_fields.h"

namespace wardel::test {

// setting.ini holding these settings: one line per row of kSettingFields, in its order, each ended by CR LF.
// Texts are written as they stand, blanks and all, so a test can put what it likes on a line.
inline std::string settingsText(const AppSettings& s) {
    std::string text;
    for (const SettingField& field : kSettingFields)
        text += (field.isSwitch() ? std::to_string(s.*field.onOff) : s.*field.text) + "\r\n";
    return text;
}

// What the settings dialog fills in when nothing was set: every text with a default (the two time limits and
// the two I-am-alive periods) holds it; everything else empty or off.
inline AppSettings defaultSettings() {
    AppSettings s;
    for (const SettingField& field : kSettingFields)
        if (!field.isSwitch() && field.fallback)
            s.*field.text = field.fallback;
    return s;
}

// A program set up to alert: gateway alerts on with an account, SMS and mail recipients and a daily cap,
// and the I-am-alive notice on. Every check of the settings dialog passes. Tests change what they are about.
inline AppSettings settingsWithAlertsOn() {
    AppSettings s = defaultSettings();
    s.alertEnabled = 1;
    s.smsEmail = "ops@example.com";
    s.smsPassword = "secret";
    s.smsPhone = "441111111111";
    s.mailList = "boss@example.com";
    s.maxSms = "20";
    s.aliveEnabled = 1;
    s.aliveMailTo = "boss@example.com";
    s.aliveSmsTo = "441111111111";
    return s;
}

} // namespace wardel::test
