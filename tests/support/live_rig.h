#pragma once

#include <string>

#include "app/sms_port.h"
#include "app/wiring.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_probe_socket.h"
#include "platform/qt/qt_timer.h"
#include "platform/qt/qt_url_fetcher.h"
#include "support/fakes.h"
#include "support/test_rig.h"

namespace wardel::test {

// Passes every read on to another reader and counts the reads started and ended.
class CountingReader : public UrlFetcher {
public:
    explicit CountingReader(UrlFetcher& reader)
        : reader_(reader), ends_(reader.subscribeCompletion([this](const FetchResult& result) {
              ++ended;
              complete(result);
          })) {}
    bool start(const std::string& name, const std::string& url) override {
        ++started;
        return reader_.start(name, url);
    }
    bool post(const std::string& name, const std::string& url, const std::string& json) override {
        ++started;
        return reader_.post(name, url, json);
    }
    int started = 0;
    int ended = 0;

private:
    UrlFetcher& reader_;
    Subscription ends_;
};

// The gateway's two URL readers on Qt, as the program has them, sharing their slots: the one place the
// tests build the real reader.
class LiveReaders {
public:
    explicit LiveReaders(qt::UrlReadLimits limits = {}) : qtMain_(limits, &slots_), qtCredit_(limits, &slots_) {}
    UrlFetcher& main() { return main_; }
    UrlFetcher& credit() { return credit_; }
    // Every read started has ended.
    bool idle() const { return main_.started == main_.ended && credit_.started == credit_.ended; }

private:
    qt::ReadSlots slots_;
    qt::QtUrlFetcher qtMain_;
    qt::QtUrlFetcher qtCredit_;
    CountingReader main_{qtMain_};
    CountingReader credit_{qtCredit_};
};

// The main window model on the real clock, timers, probe socket and URL readers; the message box, tray,
// shell and window are fakes. `gatewayBase` is where the gateway listens (a loopback peer).
struct LiveRig {
    explicit LiveRig(const std::string& gatewayBase = "http://127.0.0.1:9") {
        port.gateway().setGatewayBase(gatewayBase);
    }

    TempFolder folder;
    qt::QtClock clock;
    qt::QtTimerSource timers;
    qt::QtProbeSocket socket;
    LiveReaders readers;
    FakeMessageBox messages;
    FakeTray tray;
    FakeShell shell;
    FakeWindow window;
    FakeNotifier notifier;
    Platform platform{.clock = clock,
                      .timers = timers,
                      .socket = socket,
                      .mainReader = readers.main(),
                      .creditReader = readers.credit(),
                      .messages = messages,
                      .tray = tray,
                      .shell = shell,
                      .window = window,
                      .notifier = notifier};
    SMSPort port{platform, folder.path()};
    AppSettings& settings = port.settings();
    MainControls& controls = port.controls();
    HostTable& grid = port.grid();
    LogBox& logBox = port.logBox();
};

} // namespace wardel::test
