#include "monitor/monitor_engine.h"

namespace wardel {

MonitorEngine::MonitorEngine(AppContext& ctx, AlertSink& alerts) : ctx_(ctx), alerts_(alerts) {}

void MonitorEngine::cmdMonitor_Click() {}

}  // namespace wardel
