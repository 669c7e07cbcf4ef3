#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "app/main_controls.h"
#include "hosts/host_table.h"
#include "log/event_log.h"
#include "log/log_box.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/probe_socket.h"
#include "platform/shell.h"
#include "platform/timer.h"
#include "platform/tray_icon.h"
#include "platform/url_fetcher.h"
#include "platform/window_port.h"
#include "settings/app_settings.h"

namespace wardel {

// The outside world as the monitor sees it: Qt in the program, fakes in the tests.
struct Platform {
    Clock& clock;
    TimerSource& timers;
    ProbeSocket& socket;     // sckHotMon
    UrlFetcher& mainReader;  // under AsyncRead1
    UrlFetcher& creditReader;  // under AsyncRead2
    MessageBox& messages;
    TrayIcon& tray;
    Shell& shell;
    WindowPort& window;
};

// What the main window holds once for the whole run and every subsystem reaches: the settings, the
// controls, the grid, the log and the timers.
struct AppContext {
    AppContext(Platform& platform, std::filesystem::path folder);

    Platform& platform;
    std::filesystem::path folder;  // the program's own folder: setting.ini, host.ini, log_mmdd.txt
    AppSettings settings;
    RuntimeValues runtime;
    MainControls controls;
    HostTable grid;  // grdHotGrid
    LogBox logBox;   // txtLog
    EventLog log;
    bool rowSelected = false;

    std::unique_ptr<Timer> Timer1;  // pause between cycles
    std::unique_ptr<Timer> Timer2;  // probe timeout
    std::unique_ptr<Timer> Timer3;  // one-second pause inside a cycle
    std::unique_ptr<Timer> Timer4;  // midnight check
    std::unique_ptr<Timer> Timer5;  // minute task

    // Unloads the main window, which ends the program; set by the main window.
    std::function<void()> unloadMainWindow;

    void WriteLog(const std::string& message) { log.WriteLog(message); }
};

}  // namespace wardel
