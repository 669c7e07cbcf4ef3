#pragma once

#include <string>

#include "settings/app_settings.h"

namespace wardel::test {

// setting.ini holding these settings: fifteen lines in the file's order, each ended by CR LF. Texts are
// written as they stand, blanks and all, so a test can put what it likes on a line.
inline std::string settingsText(const AppSettings& s) {
    std::string text;
    for (const std::string& line :
         {s.timeInterval, s.timeOut, std::to_string(s.alertEnabled), s.smsEmail, s.smsPassword, s.smsPhone,
          std::to_string(s.startOnLaunch), std::to_string(s.logEnabled), s.mailList, s.maxSms,
          std::to_string(s.aliveEnabled), s.aliveMailMinutes, s.aliveMailTo, s.aliveSmsMinutes, s.aliveSmsTo})
        text += line + "\r\n";
    return text;
}

// What the settings dialog fills in when nothing was set: the two time limits and the two I-am-alive periods;
// everything else empty or off.
inline AppSettings defaultSettings() {
    AppSettings s;
    s.timeInterval = "60";
    s.timeOut = "30";
    s.aliveMailMinutes = "60";
    s.aliveSmsMinutes = "720";
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
