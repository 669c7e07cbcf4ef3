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

// The whole main window on fakes and virtual time, in a folder of its own.
struct TestRig {
    explicit TestRig(LocalDateTime start = {2026, 12, 6, 7, 5, 9});

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
    AppContext ctx{platform, folder.path()};
    SMSPort port{ctx};

    // The log box text, newest line first, one line per entry.
    std::vector<std::string> logLines() const;
};

}  // namespace wardel::test
