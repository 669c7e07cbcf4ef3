#pragma once

// For the Qt tests only: the real main window over the whole model on fakes and virtual time.

#include <QPlainTextEdit>
#include <QStringList>
#include <QTableView>

#include <gtest/gtest.h>

#include "app/alert_setting.h"
#include "app/sms_port.h"
#include "app/wiring.h"
#include "platform/qt/program_end.h"
#include "support/test_rig.h"
#include "ui/main_window.h"

namespace wardel::test {

struct WindowRig {
    WindowRig() {
        window.setProgramEnder([this] { ++programEnds; });
        window.attach(port);
    }
    ~WindowRig() {
        window.detach();
        qt::programEndedFlag() = false;
    }

    template <typename W> W* widget(const char* name) {
        auto* found = window.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QTableView* grid() { return widget<QTableView>("grdHotGrid"); }
    // The lines of txtLog, top first, without the empty line after the last line end.
    QStringList logLines() {
        QStringList lines = widget<QPlainTextEdit>("txtLog")->toPlainText().split(QLatin1Char('\n'));
        lines.removeLast();
        return lines;
    }

    TempFolder folder;
    FakeScheduler scheduler;
    FakeSocket socket;
    FakeUrlFetcher mainReader;
    FakeUrlFetcher creditReader;
    FakeMessageBox messages;
    FakeTray tray;
    FakeShell shell;
    FakeNotifier notifier;
    qt::MainWindow window;
    Platform platform{.clock = scheduler,
                      .timers = scheduler,
                      .socket = socket,
                      .mainReader = mainReader,
                      .creditReader = creditReader,
                      .messages = messages,
                      .tray = tray,
                      .shell = shell,
                      .window = window,
                      .notifier = notifier};
    SMSPort port{platform, folder.path()};
    MainControls& controls = port.controls();
    HostTable& table = port.grid(); // grdHotGrid's model side
    LogBox& logBox = port.logBox();
    EventLog& log = port.eventLog();
    int programEnds = 0;
};

} // namespace wardel::test
