#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "alerts/gateway_client.h"
#include "common/subscription.h"
#include "log/log_box.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/timer.h"
#include "settings/app_settings.h"

namespace wardel {

// The settings dialog's "SMS Sent Today" caption, which the midnight reset sets. Whoever fills it creates
// the dialog hidden first when it does not exist yet.
class SmsTodayCaption {
public:
    virtual ~SmsTodayCaption() = default;
    virtual void setSmsTodayCaption(const std::string& caption) = 0;
};

// The main window's timers of the two tasks below.
struct AliveTimers {
    Timer& Timer4; // midnight check, every 35 s
    Timer& Timer5; // minute task
};

// The two periodic tasks of the main window on the delivery side.
//
// Every minute (Timer5) the I-am-alive countdowns run down, whether or not the notice is on; a countdown at
// 0 is reloaded from its period and counted at once, so a period of N minutes makes its half of the notice
// due on every N-th tick. While the notice is on, each tick asks sch_Notify for the halves that are due:
// an HTML mail with the newest part of the log box and a short SMS, each to its own recipients. Without a
// gateway logon nothing goes out; a line at the end of the log box says so, once a minute.
//
// Every 35 seconds (Timer4) the midnight check clears the day's SMS alert count once the clock reads 00:00,
// once per date: a second tick in the same minute finds the date cleared and leaves the SMS sent since.
class AliveNotice {
public:
    AliveNotice(const Clock& clock, AliveTimers timers, const AppSettings& settings, RuntimeValues& runtime,
                GatewayClient& gateway, LogBox& txtLog, const Control& label2, SmsTodayCaption& smsToday);
    AliveNotice(const AliveNotice&) = delete;
    AliveNotice& operator=(const AliveNotice&) = delete;

    void Timer5_Timer(); // the minute task
    void Timer4_Timer(); // the midnight check

    void sch_Notify(bool bMail, bool bSMS);

private:
    std::string aliveMailBody(const std::string& subject) const;

    const Clock& clock_;
    const AppSettings& settings_;
    RuntimeValues& runtime_;
    GatewayClient& gateway_;
    LogBox& txtLog_;
    const Control& label2_;
    SmsTodayCaption& smsToday_;
    int lastClearDate_ = 0; // yyyymmdd of the midnight check's last clear; 0 before the first
    Subscription timer4Ticks_;
    Subscription timer5Ticks_;
};

} // namespace wardel
