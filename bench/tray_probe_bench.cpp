// Wardel as it spends most of its day: monitoring with the main window hidden in the tray. The program is put
// together as the real one is, on the real Qt seams and widgets, in the folder given; with "hidden" the window
// is hidden right after the start-up, as a minimise into the tray hides it (the offscreen platform has no tray
// to minimise into), with "shown" it stays on screen. It then runs until it is ended by a signal, like the real
// program, so scripts/bench.sh can count its probes and CPU time from outside beside the real `wardel`.
//
// Usage: tray_probe_bench shown|hidden FOLDER

#include <QApplication>
#include <cstdio>
#include <string>

#include "app/sms_port.h"
#include "platform/qt/shutdown_signal.h"
#include "ui/app_icon.h"
#include "ui/cursor_blink_rest.h"
#include "ui/qt_program.h"

int main(int argc, char** argv) {
    using namespace wardel;
    using namespace wardel::qt;
    if (argc != 3 || (std::string(argv[1]) != "shown" && std::string(argv[1]) != "hidden")) {
        std::fprintf(stderr, "usage: tray_probe_bench shown|hidden FOLDER\n");
        return 2;
    }
    const bool hidden = std::string(argv[1]) == "hidden";
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Wardel"));
    QApplication::setWindowIcon(wardelIcon());
    QApplication::setQuitOnLastWindowClosed(false);
    const CursorBlinkRest blinkRest;

    QtProgram program(argv[2]);
    SMSPort& port = program.port();
    ShutdownSignal endOnSignal([&port] { port.Form_Unload(); });
    port.Form_Load();
    // The probe history is kept, as the program keeps it.
    port.openHistory();
    if (hidden)
        program.window().hide();
    return port.ended() ? 0 : QApplication::exec();
}
