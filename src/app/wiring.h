#pragma once

#include <filesystem>
#include <memory>

#include "alerts/alert_dispatch.h"
#include "alerts/alert_sink.h"
#include "alerts/alertmanager_sink.h"
#include "alerts/alive_notice.h"
#include "alerts/desktop_notice.h"
#include "alerts/gateway_client.h"
#include "app/platform.h"
#include "app/tray_status.h"
#include "common/subscription.h"
#include "history/history_recorder.h"
#include "hosts/host_editor.h"
#include "log/event_log.h"
#include "monitor/monitor_engine.h"
#include "platform/timer.h"

namespace wardel {

class SMSPort;

// The program's composition: which subsystem is built from what, the five timers, where every alert goes
// (the gateway, the desktop, Alertmanager when it has a reader) and the recorder of the probe history. It
// lives inside the main window's model, which owns the records it hands out; the gateway's state and the
// alive notice's midnight reset come back to the window through it.
struct Wiring : SmsTodayCaption, GatewayObserver {
    Wiring(SMSPort& port, Platform& platform, const std::filesystem::path& folder);
    ~Wiring() override;
    Wiring(const Wiring&) = delete;
    Wiring& operator=(const Wiring&) = delete;

    SMSPort& port;
    EventLog log;

    std::unique_ptr<Timer> Timer1; // pause between cycles
    std::unique_ptr<Timer> Timer2; // probe timeout
    std::unique_ptr<Timer> Timer3; // one-second pause inside a cycle
    std::unique_ptr<Timer> Timer4; // midnight check
    std::unique_ptr<Timer> Timer5; // minute task

    HostEditor hosts;
    GatewayClient gateway;
    AlertDispatch alerts;
    DesktopNotice notices; // the alerts to the desktop
    AlertSinks sinks;      // where every alert goes: the gateway, the desktop, Alertmanager
    MonitorEngine engine;
    TrayStatus trayStatus;
    AliveNotice notice;
    HistoryRecorder history;
    Subscription probeFinishes;
    std::unique_ptr<Timer> alertmanagerRound;
    std::unique_ptr<AlertmanagerSink> alertmanager; // none without a reader for it

private:
    // The settings dialog's SMS_Today caption at midnight.
    void setSmsTodayCaption(const std::string& caption) override;
    // What the gateway's state shows: Label4, Label7, the window a logon shows, and the unload after a logon
    // reply that cannot be read.
    void showMainWindow() override;
    void showAccountState(const std::string& text) override;
    void showCredit(const std::string& creditText) override;
    void setCreditVisible(bool visible) override;
    void unloadMainWindow() override;

    Platform& platform_;
};

} // namespace wardel
