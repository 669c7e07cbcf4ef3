#pragma once

#include <filesystem>
#include <string>

#include "app/app_context.h"
#include "app/sms_port.h"
#include "support/fake_scheduler.h"
#include "support/fakes.h"

namespace wardel::test {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

std::string ReadFile(const std::filesystem::path& file);
void WriteFile(const std::filesystem::path& file, const std::string& content);

// Every seam faked, on virtual time, with a folder of its own for the program's files.
struct FakePlatform {
    explicit FakePlatform(LocalDateTime start) : scheduler(start) {}

    TempFolder folder;
    FakeScheduler scheduler;
    FakeSocket socket;
    FakeUrlFetcher mainReader;
    FakeUrlFetcher creditReader;
    FakeMessageBox messages;
    FakeTray tray;
    FakeShell shell;
    FakeWindow window;
    Platform platform{scheduler, scheduler, socket, mainReader, creditReader, messages, tray, shell, window};
};

// The whole main window on the fake platform.
struct TestRig : FakePlatform {
    explicit TestRig(LocalDateTime start = {2026, 12, 6, 7, 5, 9});

    AppContext ctx{platform, folder.path()};
    SMSPort port{ctx};

    // The log box text, newest line first, one line per entry.
    std::vector<std::string> logLines() const;
};

}  // namespace wardel::test
