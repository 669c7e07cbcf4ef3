#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "settings/settings_file.h"
#include "support/settings_builders.h"
#include "support/test_rig.h"

namespace wardel {
namespace {

constexpr std::int64_t kMinute = 60000;

// The main window logged on to the gateway, whose two readers the rig answers: the logon with a credit of 25,
// every other request "OK", every credit query "25". The targets are on the fake socket, on ports from
// kFirstPort; `down(target, attempt)` says which probes are refused.
struct BusyWindow : test::TestRig {
    explicit BusyWindow(const AppSettings& wanted) : TestRig({2026, 12, 6, 7, 5, 9}) {
        saveSettingsFile(folder / kSettingsFileName, wanted);
        port.Form_Load();
        answerGateway();
        socket.onConnect = [this](const std::string&, std::int32_t port) {
            const int target = port - kFirstPort;
            socket.setState(down(target, attempts_.at(target)++) ? ProbeSocket::Error : ProbeSocket::Connected);
        };
    }
    void addTargets(int count, const std::string& limit) {
        std::vector<HostEntry> entries;
        for (int i = 0; i < count; ++i)
            entries.push_back(
                {"127.0.0.1", std::to_string(kFirstPort + i), "", "target " + std::to_string(i), "", limit, "0"});
        grid.appendRows(std::move(entries));
        grid.removeRow(1); // the empty first row the window starts with
        attempts_.assign(static_cast<std::size_t>(count), 0);
    }
    // Answers every request in flight, and those the answers raise; the fakes' records are then dropped.
    void answerGateway() {
        while (!mainReader.requests.empty() || !creditReader.requests.empty()) {
            for (const auto& request : std::exchange(mainReader.requests, {})) {
                aliveMails += request.name.ends_with("sendmail1") ? 1 : 0;
                aliveSms += request.name.ends_with("sendsms1") ? 1 : 0;
                mainReader.finish(request.name, true, request.name == "logon1" ? "OK*25*ab42%" : "OK");
            }
            for (const auto& request : std::exchange(creditReader.requests, {}))
                creditReader.finish(request.name, true, "25");
            scheduler.runPending();
        }
        socket.attempts.clear();
    }
    static constexpr int kFirstPort = 2000;
    std::function<bool(int target, int attempt)> down = [](int, int) { return false; };
    int aliveMails = 0;
    int aliveSms = 0;

private:
    std::vector<int> attempts_;
};

AppSettings alertsAndNoticesOn() {
    AppSettings s = test::settingsWithAlertsOn();
    s.timeInterval = "10"; // fifty probes of a second each and a pause of ten: a cycle a minute
    s.timeOut = "3";
    return s;
}

TEST(BusyWindow, AThousandTargetsWithTheSettingsDialogOpenAndTheLogBoxFull) {
    BusyWindow rig(alertsAndNoticesOn());
    rig.addTargets(1000, "1");
    rig.down = [](int target, int) { return target % 2 == 1; };
    rig.port.cmdSetting_Click();
    for (std::size_t i = 0; i < LogBox::kMaxLines; ++i)
        rig.log.WriteLog("earlier line " + std::to_string(i));

    rig.port.cmdMonitor_Click();
    for (int minute = 0; minute < 16; ++minute) { // a cycle of 1,000 probes of a second each
        rig.scheduler.advance(kMinute);
        rig.answerGateway();
    }
    rig.scheduler.advance(45000); // the cycle ended at 1,000 s; the next starts at 1,010 s
    rig.answerGateway();
    EXPECT_EQ(rig.controls.Label2.text().rfind("Current status : now ", 0), 0u) << rig.controls.Label2.text();
    for (int row = 1; row <= 1000; ++row)
        ASSERT_EQ(rig.grid.cell(row, HostTable::colLastStatus).substr(0, 5), row % 2 == 0 ? "Down(" : "ALIVE") << row;
    EXPECT_EQ(rig.logBox.lineCount(), LogBox::kMaxLines);
    // The last alert, then its mail in place of an SMS, the day's 20 being sent.
    EXPECT_NE(rig.logBox.line(2).find("- Alert for 127.0.0.1 2999 Down("), std::string::npos) << rig.logBox.line(2);
    EXPECT_NE(rig.logBox.line(0).find("- Mail Alert Send to boss@example.com"), std::string::npos);
    EXPECT_EQ(rig.runtime.smsSentToday, 20);
    ASSERT_TRUE(rig.port.hasAlertSetting());
    EXPECT_TRUE(rig.port.alertSetting().controls().alertSetting.visible());
    EXPECT_TRUE(rig.messages.shown.empty()) << rig.messages.shown.front();

    // The next cycle starts after its pause and probes the first target again.
    rig.scheduler.advance(10000);
    EXPECT_NE(rig.controls.Label2.text().find(" checking 127.0.0.1 Port : "), std::string::npos)
        << rig.controls.Label2.text();
}

// What could grow with time, counted.
struct Census {
    std::size_t logLines, gridRows, timers, queuedEvents, pendingReads, openBoxes;
    bool settingsDialog;
    bool operator==(const Census&) const = default;
};

void PrintTo(const Census& c, std::ostream* out) {
    *out << "log lines " << c.logLines << ", grid rows " << c.gridRows << ", timers " << c.timers << ", queued events "
         << c.queuedEvents << ", pending reads " << c.pendingReads << ", open boxes " << c.openBoxes
         << ", settings dialog " << c.settingsDialog;
}

Census takeCensus(BusyWindow& rig) {
    return {rig.logBox.lineCount(),
            static_cast<std::size_t>(rig.grid.rowCount()),
            rig.scheduler.timerCount(),
            rig.scheduler.pendingEventCount(),
            rig.mainReader.requests.size() + rig.creditReader.requests.size(),
            rig.messages.pending.size(),
            rig.port.hasAlertSetting()};
}

std::size_t logBoxBytes(const BusyWindow& rig) {
    std::size_t bytes = 0;
    for (const auto& line : rig.logLines())
        bytes += line.size();
    return bytes;
}

TEST(Soak, ThirtyDaysOfFlappingTargetsWithAlertsAndNotices) {
    BusyWindow rig(alertsAndNoticesOn());
    ASSERT_TRUE(rig.port.gateway().state().gatewayLoggedIn);
    rig.addTargets(50, "3");
    // Target i is refused for runs of 5 to 35 probes (by i), then answers as many: the log box is full within
    // the first day.
    rig.down = [](int target, int attempt) { return attempt / (5 + 5 * (target % 7)) % 2 == 1; };
    rig.port.cmdMonitor_Click();

    // Each midnight: the count a minute before it, ">", the count a minute after it (the check runs every
    // 35 s, so within the first minute).
    std::vector<std::string> resets;
    std::string beforeMidnight;
    Census dayOne{};
    std::size_t dayOneBytes = 0;
    for (int minute = 1; minute <= 30 * 1440; ++minute) {
        rig.scheduler.advance(kMinute);
        rig.answerGateway();
        const LocalDateTime now = rig.scheduler.now();
        if (now.hour == 23 && now.minute == 59)
            beforeMidnight = std::to_string(rig.runtime.smsSentToday);
        if (now.hour == 0 && now.minute == 1)
            resets.push_back(beforeMidnight + ">" + std::to_string(rig.runtime.smsSentToday));
        if (minute == 1440) {
            dayOne = takeCensus(rig);
            dayOneBytes = logBoxBytes(rig);
        }
    }
    const Census dayThirty = takeCensus(rig);
    EXPECT_EQ(dayOne, dayThirty);
    EXPECT_EQ(dayThirty.logLines, LogBox::kMaxLines);
    EXPECT_EQ(dayThirty.gridRows, 51u);
    EXPECT_EQ(dayThirty.pendingReads + dayThirty.queuedEvents + dayThirty.openBoxes, 0u);
    EXPECT_LE(logBoxBytes(rig), dayOneBytes + dayOneBytes / 10); // the lines differ, their number does not
    // Every day reaches the cap of 20 SMS, and the midnight check starts the count again.
    ASSERT_EQ(resets.size(), 30u);
    for (const auto& reset : resets)
        EXPECT_TRUE(reset.starts_with("20>") && std::stoi(reset.substr(3)) < 20) << reset;
    EXPECT_EQ(rig.aliveMails, 720); // the hourly notice
    EXPECT_EQ(rig.aliveSms, 60);    // the twice-daily one
    EXPECT_TRUE(rig.messages.shown.empty()) << rig.messages.shown.front();
    EXPECT_FALSE(rig.port.ended());
}

} // namespace
} // namespace wardel
