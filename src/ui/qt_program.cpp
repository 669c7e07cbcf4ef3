#include "ui/qt_program.h"

#include <QApplication>

#include "app/autostart.h"
#include "ui/app_icon.h"

#include <cstdlib>

namespace wardel::qt {

namespace {

// The desktop entry data/wardel.desktop, by which the desktop knows whose notification it shows.
const QString kDesktopEntry = QStringLiteral("wardel");

} // namespace

QtProgram::QtProgram(std::filesystem::path folder)
    : alertReader_(UrlReadLimits{64LL * 1024, 10 * 1000, 30 * 1000}),
      tray_(std::array<QIcon, 3>{QApplication::windowIcon(), wardelTrayIcon(TrayIcon::State::Failing),
                                 wardelTrayIcon(TrayIcon::State::Alerted)}),
      notifier_(QStringLiteral("Wardel"), kDesktopEntry), platform_{.clock = clock_,
                                                                    .timers = timers_,
                                                                    .socket = socket_,
                                                                    .mainReader = mainReader_,
                                                                    .creditReader = creditReader_,
                                                                    .messages = messages_,
                                                                    .tray = tray_,
                                                                    .shell = shell_,
                                                                    .window = window_,
                                                                    .notifier = notifier_,
                                                                    .alertReader = &alertReader_},
      port_(platform_, std::move(folder)),
      trayMenu_(port_, QCoreApplication::applicationFilePath(),
                autostartFile(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"))) {
    tray_.setContextMenu(&trayMenu_);
    messages_.setParentWidget(&window_);
    shell_.setParentWidget(&window_);
    window_.attach(port_);
}

QtProgram::~QtProgram() {
    window_.detach();
    // The alerts that ended with the program still reach Alertmanager, within a short wait.
    alertReader_.finishWithin(2000);
}

} // namespace wardel::qt
