#pragma once

#include <vector>

#include "alerts/alert_sink.h"
#include "platform/desktop_notifier.h"

namespace wardel {

// Every alert and every "Back to Alive" also goes to the desktop's notification service, so an operator
// without a gateway account learns of it too. An alert is urgent, a recovery normal, and each target has one
// notice, which its next one replaces. A cycle's notices go out when it ends: more than three alerts (or
// recoveries) in one cycle make one notice that counts them and names the first three, so an outage of many
// targets does not bury the desktop. Nothing here writes to the log.
class DesktopNotice : public AlertSink {
public:
    explicit DesktopNotice(DesktopNotifier& desktop) : desktop_(desktop) {}

    void SendAlert(const Alert& alert) override;
    void CycleEnded() override;

private:
    void flush(std::vector<Alert>& alerts, const char* what, DesktopNotifier::Urgency urgency);

    DesktopNotifier& desktop_;
    std::vector<Alert> downs_;
    std::vector<Alert> backs_;
};

} // namespace wardel
