#pragma once

#include <memory>
#include <vector>

#include "alerts/alert_sink.h"
#include "platform/desktop_notifier.h"
#include "platform/timer.h"

namespace wardel {

// Every alert and every "Back to Alive" also goes to the desktop's notification service, so an operator
// without a gateway account learns of it too. An alert is urgent, a recovery normal, and each target has one
// notice, which its next one replaces. A cycle's notices go out when it ends, or once the first of them has
// waited kHoldMs, so a long cycle never keeps the desktop from hearing of an outage: more than three alerts (or
// recoveries) gathered so make one notice that counts them and names the first three, so an outage of many
// targets does not bury the desktop. Nothing here writes to the log.
class DesktopNotice : public AlertSink {
public:
    static constexpr int kHoldMs = 10 * 1000;

    DesktopNotice(DesktopNotifier& desktop, TimerSource& timers);

    void SendAlert(const Alert& alert) override;
    void CycleEnded() override;

private:
    void flush(std::vector<Alert>& alerts, const char* what, DesktopNotifier::Urgency urgency);

    DesktopNotifier& desktop_;
    std::unique_ptr<Timer> hold_; // runs while notices wait
    Subscription holdEnds_;
    std::vector<Alert> downs_;
    std::vector<Alert> backs_;
};

} // namespace wardel
