#pragma once

#include "alerts/alert_sink.h"
#include "app/app_context.h"

namespace wardel {

// Monitoring control, the cycle timers and the port check cycle.
class MonitorEngine {
public:
    MonitorEngine(AppContext& ctx, AlertSink& alerts);

    void cmdMonitor_Click();

private:
    AppContext& ctx_;
    AlertSink& alerts_;
};

}  // namespace wardel
