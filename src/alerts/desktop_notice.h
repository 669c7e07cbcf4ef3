#pragma once

#include "alerts/alert_sink.h"
#include "platform/desktop_notifier.h"

namespace wardel {

// Every alert and every "Back to Alive" also goes to the desktop's notification service, so an operator
// without a gateway account learns of it too. An alert is urgent, a recovery normal. Nothing here writes to
// the log.
class DesktopNotice : public AlertSink {
public:
    explicit DesktopNotice(DesktopNotifier& desktop) : desktop_(desktop) {}

    void SendAlert(const Alert& alert) override;

private:
    DesktopNotifier& desktop_;
};

} // namespace wardel
