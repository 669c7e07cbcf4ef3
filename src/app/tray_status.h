#pragma once

#include "common/subscription.h"
#include "hosts/host_table.h"
#include "monitor/monitor_engine.h"
#include "platform/tray_icon.h"

namespace wardel {

// The state the tray icon's picture shows: an alert marker in any row outweighs a failed target, and while
// nothing is monitored the icon is the plain one.
TrayIcon::State trayStateOf(bool monitoring, bool anyFailing, bool anyAlerted);

// Keeps the tray icon's picture in step with the table and with monitoring starting and stopping.
class TrayStatus {
public:
    TrayStatus(HostTable& grid, MonitorEngine& engine, TrayIcon& tray);
    TrayStatus(const TrayStatus&) = delete;
    TrayStatus& operator=(const TrayStatus&) = delete;

    TrayIcon::State state() const { return state_; }

private:
    void update();

    const HostTable& grid_;
    const MonitorEngine& engine_;
    TrayIcon& tray_;
    TrayIcon::State state_ = TrayIcon::State::Normal;
    Subscription summaryChanges_;
    Subscription monitoringChanges_;
};

} // namespace wardel
