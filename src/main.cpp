// Wardel: a desktop monitor for TCP services. This file puts the Qt platform under the main window model
// and runs the event loop; everything the program does happens in the model's event handlers.

#include <QApplication>
#include <QTimer>
#include <iostream>

#include "app/command_line.h"
#include "app/program_files.h"
#include "log/event_log.h"
#include "platform/qt/program_folder.h"
#include "platform/qt/shutdown_signal.h"
#include "platform/qt/single_copy.h"
#include "ui/accessibility_bus_guard.h"
#include "ui/app_icon.h"
#include "ui/cursor_blink_rest.h"
#include "ui/item_view_accessible.h"
#include "ui/qt_program.h"

namespace {

// A display to open, or a Qt platform named that needs none.
bool hasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (!qEnvironmentVariableIsEmpty(name))
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv) {
    using namespace wardel;
    using namespace wardel::qt;

    // Arguments are answered in the shell before any display is opened, so they work over SSH.
    if (argc > 1) {
        const auto locateFiles = [&] {
            const ProgramFolders folders = programFoldersWithoutDisplay(argc, argv);
            return startUpFiles(folders.files, folders.program);
        };
        return answerCommandLine(parseCommandLine(argc, argv), locateFiles, std::cout, std::cerr);
    }

    // Qt aborts without a display; an operator over SSH gets one line that says what to set instead.
    if (!hasDisplay()) {
        std::cerr << "wardel: no display found; set DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM=offscreen\n";
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Wardel"));
    // One copy per folder: a later start there brings the running copy's window forward and ends, before it
    // has read or written a file.
    const ProgramFolder folder = locateProgramFolder();
    SingleCopy singleCopy(folder.files);
    const SingleCopy::Start start = singleCopy.take();
    if (start == SingleCopy::Start::Held) {
        singleCopy.askRunningCopy([&folder](bool answered) {
            if (!answered)
                std::cerr << "wardel: a Wardel already runs in " << folder.files.string()
                          << " and could not be reached to show its window; this start ends\n";
            QCoreApplication::exit(answered ? 0 : 1);
        });
        return QApplication::exec();
    }
    QApplication::setWindowIcon(wardelIcon());
    installItemViewAccessibility();
    guardAccessibilityBus();
    // The program ends only through the main window's unload: a message box closed while the window
    // sits in the tray must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    // A monitor watched for hours need not wake twice a second to blink a cursor nobody types at.
    const CursorBlinkRest blinkRest;

    // An operator whose files lay beside the program keeps them when they move to the per-user folder.
    if (folder.kind == ProgramFolder::Kind::PerUser)
        copyMissingProgramFiles(folder.executable, folder.perUser);
    QtProgram program(folder.files);
    SMSPort& port = program.port();
    singleCopy.listen([&port] {
        if (!port.ended())
            port.trayDoubleClick();
    });
    // SIGTERM, SIGINT and SIGHUP unload the window like the close box, so the log gets its last line.
    ShutdownSignal endOnSignal([&port] { port.Form_Unload(); });

    // The probe history opens after the window's first paint, so the start-up never waits for the disk; a
    // window that starts hidden opens it a moment later all the same.
    program.window().setFirstPaintAction([&port] {
        if (!port.ended())
            port.openHistory();
    });
    QTimer::singleShot(1000, &program.window(), [&port] {
        if (!port.ended())
            port.openHistory();
    });
    port.Form_Load();
    if (folder.kind == ProgramFolder::Kind::ReadOnly && !port.ended())
        port.eventLog().WriteLog(filesNotWritableMessage(folder.executable, folder.perUser));
    if (start == SingleCopy::Start::Unguarded && !port.ended())
        port.eventLog().WriteLog(singleCopy.unguardedMessage());
    return port.ended() ? 0 : QApplication::exec();
}
