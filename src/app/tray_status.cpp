#include "app/tray_status.h"

namespace wardel {

TrayIcon::State trayStateOf(bool monitoring, bool anyFailing, bool anyAlerted) {
    if (!monitoring)
        return TrayIcon::State::Normal;
    if (anyAlerted)
        return TrayIcon::State::Alerted;
    return anyFailing ? TrayIcon::State::Failing : TrayIcon::State::Normal;
}

TrayStatus::TrayStatus(HostTable& grid, MonitorEngine& engine, TrayIcon& tray)
    : grid_(grid), engine_(engine), tray_(tray) {
    summaryChanges_ = grid.subscribeSummary([this] { update(); });
    monitoringChanges_ = engine.subscribeMonitoring([this] { update(); });
}

void TrayStatus::update() {
    const TrayIcon::State state = trayStateOf(engine_.monitoring(), grid_.anyFailing(), grid_.anyAlerted());
    if (state == state_)
        return;
    state_ = state;
    tray_.showState(state);
}

} // namespace wardel
