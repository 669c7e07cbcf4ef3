#pragma once

#include <filesystem>

#include "app/sms_port.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_desktop_notifier.h"
#include "platform/qt/qt_message_box.h"
#include "platform/qt/qt_probe_socket.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/qt_timer.h"
#include "platform/qt/qt_tray_icon.h"
#include "platform/qt/qt_url_fetcher.h"
#include "ui/main_window.h"
#include "ui/tray_menu.h"

namespace wardel::qt {

// The program as Wardel runs: the Qt seams under the main window model SMSPort, and the window attached to
// it. Built once the application object exists; `folder` is the program's own folder for its files.
class QtProgram {
public:
    explicit QtProgram(std::filesystem::path folder);
    ~QtProgram();
    QtProgram(const QtProgram&) = delete;
    QtProgram& operator=(const QtProgram&) = delete;

    SMSPort& port() { return port_; }
    MainWindow& window() { return window_; }

private:
    QtClock clock_;
    QtTimerSource timers_;
    QtProbeSocket socket_;
    ReadSlots gatewayReads_; // shared by the two readers
    QtUrlFetcher mainReader_{{}, &gatewayReads_};
    QtUrlFetcher creditReader_{{}, &gatewayReads_};
    QtUrlFetcher alertReader_; // Alertmanager's posts, with read slots of their own
    QtMessageBox messages_;
    QtTrayIcon tray_;
    QtShell shell_;
    MainWindow window_;
    QtDesktopNotifier notifier_;
    Platform platform_;
    SMSPort port_;
    TrayMenu trayMenu_;
};

} // namespace wardel::qt
