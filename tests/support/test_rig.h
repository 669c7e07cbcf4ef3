#pragma once

#include <filesystem>
#include <string>

#include "app/alert_setting.h"
#include "app/sms_port.h"
#include "app/wiring.h"
#include "support/fake_scheduler.h"
#include "support/fakes.h"
#include "support/temp_folder.h"

namespace wardel::test {

// Every seam faked, on virtual time, with a folder of its own for the program's files.
struct FakePlatform {
    // Socket notices and URL completions arrive from the scheduler's event queue, as Qt delivers them.
    explicit FakePlatform(LocalDateTime start) : scheduler(start) {
        socket.queueOn(scheduler);
        mainReader.queueOn(scheduler);
        creditReader.queueOn(scheduler);
    }

    TempFolder folder;
    FakeScheduler scheduler;
    FakeSocket socket;
    FakeUrlFetcher mainReader;
    FakeUrlFetcher creditReader;
    FakeMessageBox messages;
    FakeTray tray;
    FakeShell shell;
    FakeWindow window;
    FakeNotifier notifier;
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
};

// The whole main window on the fake platform.
// `subfolder` (in the rig's folder) stands for the program's folder when given.
struct TestRig : FakePlatform {
    explicit TestRig(LocalDateTime start = {2026, 12, 6, 7, 5, 9}, const std::string& subfolder = "");

    SMSPort port;
    // The model's records, by their short names.
    AppSettings& settings;
    RuntimeValues& runtime;
    MainControls& controls;
    HostTable& grid;
    LogBox& logBox;
    EventLog& log;

    // The log box text, newest line first, one line per entry.
    std::vector<std::string> logLines() const;
};

} // namespace wardel::test
