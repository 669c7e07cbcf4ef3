#pragma once

#include <string>

#include "alerts/alert_sink.h"
#include "platform/desktop_notifier.h"

namespace wardel {

// Every alert and every "Back to Alive" goes on to the gateway dispatch as before, and the same text also
// to the desktop's notification service, so an operator without a gateway account learns of it too. An
// alert is urgent, a recovery (kind "1") normal. Nothing here writes to the log.
class DesktopNotice : public AlertSink {
public:
    DesktopNotice(AlertSink& gateway, DesktopNotifier& desktop) : gateway_(gateway), desktop_(desktop) {}

    void SendAlert(const std::string& message, const std::string& kind, const std::string& description) override;

private:
    AlertSink& gateway_;
    DesktopNotifier& desktop_;
};

} // namespace wardel
