// Wardel: a desktop monitor for TCP services. This file puts the Qt platform under the main window model
// and runs the event loop; everything the program does happens in the model's event handlers.

#include <QApplication>
#include <QNetworkAccessManager>

#include "app/program_files.h"
#include "app/sms_port.h"
#include "platform/qt/program_folder.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_message_box.h"
#include "platform/qt/qt_probe_socket.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/qt_timer.h"
#include "platform/qt/qt_tray_icon.h"
#include "platform/qt/qt_url_fetcher.h"
#include "platform/qt/shutdown_signal.h"
#include "ui/accessibility_bus_guard.h"
#include "ui/app_icon.h"
#include "ui/item_view_accessible.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
    using namespace wardel;
    using namespace wardel::qt;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Wardel"));
    QApplication::setWindowIcon(wardelIcon());
    installItemViewAccessibility();
    guardAccessibilityBus();
    // The program ends only through the main window's unload: a message box closed while the window
    // sits in the tray must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    QtClock clock;
    QtTimerSource timers;
    QtProbeSocket socket;
    QNetworkAccessManager network;
    QtUrlFetcher mainReader(network);
    QtUrlFetcher creditReader(network);
    QtMessageBox messages;
    QtTrayIcon tray(QApplication::windowIcon());
    QtShell shell;
    MainWindow window;
    messages.setParentWidget(&window);
    shell.setParentWidget(&window);

    Platform platform{clock, timers, socket, mainReader, creditReader, messages, tray, shell, window};
    // An operator whose files lay beside the program keeps them when they move to the per-user folder.
    SMSPort port(platform, programFolder(copyMissingProgramFiles));
    window.attach(port);
    // SIGTERM and SIGINT unload the window like the close box, so the log gets its last line.
    ShutdownSignal endOnSignal([&port] { port.Form_Unload(); });

    port.Form_Load();
    const int result = port.ended() ? 0 : QApplication::exec();
    window.detach();
    return result;
}
