#include <gtest/gtest.h>

#include <map>

#include "hosts/row_history.h"
#include "support/test_rig.h"

namespace wardel::test {
namespace {

using Tray = TrayIcon::State;
using Urgency = DesktopNotifier::Urgency;

// Two targets on one host, told apart by their ports; each cycle sets how each one answers.
struct TwoTargets : TestRig {
    TwoTargets() {
        writeFile(folder / "host.ini", "\"127.0.0.1\",\"80\",\"web\",\"2\"\r\n\"127.0.0.1\",\"22\",\"ssh\",\"5\"\r\n");
        socket.onConnect = [this](const std::string&, std::int32_t port) { socket.setState(answers[port]); };
        port.Form_Load();
    }
    std::map<std::int32_t, int> answers{{80, ProbeSocket::Connected}, {22, ProbeSocket::Connected}};
};

// The tray's picture and the desktop notifications over a run: a target goes down, is alerted, stays down,
// comes back; another one fails; monitoring stops.
TEST(DesktopStatus, TrayAndNotificationsFollowTheTargets) {
    TwoTargets rig;
    struct Cycle {
        int web;
        int ssh;
        Tray tray;
        std::size_t notices;
    };
    const Cycle cycles[] = {
        {ProbeSocket::Connected, ProbeSocket::Connected, Tray::Normal, 0},
        {ProbeSocket::Error, ProbeSocket::Connected, Tray::Failing, 0},    // web 1 of 2
        {ProbeSocket::Error, ProbeSocket::Connected, Tray::Alerted, 1},    // web reaches its limit
        {ProbeSocket::Error, ProbeSocket::Connected, Tray::Alerted, 1},    // still down: no new alert
        {ProbeSocket::Connected, ProbeSocket::Connected, Tray::Normal, 2}, // Back to Alive
        {ProbeSocket::Connected, ProbeSocket::Error, Tray::Failing, 2},
    };
    rig.port.cmdMonitor_Click();
    std::int64_t cycleEnd = 3000;
    for (const Cycle& cycle : cycles) {
        rig.answers = {{80, cycle.web}, {22, cycle.ssh}};
        rig.scheduler.advance(cycleEnd - rig.scheduler.elapsedMs());
        cycleEnd += 62000;
        const auto where = testing::Message() << "cycle ending at " << rig.scheduler.elapsedMs() << " ms";
        EXPECT_EQ(rig.port.trayState(), cycle.tray) << where;
        EXPECT_EQ(rig.notifier.notices.size(), cycle.notices) << where;
    }
    // The failing target deleted: what is left answers.
    rig.port.grdHotGrid_Click(2);
    rig.port.cmdDelete_Click();
    EXPECT_EQ(rig.port.trayState(), Tray::Normal);
    rig.answers = {{80, ProbeSocket::Error}};
    rig.scheduler.advance(62000);
    EXPECT_EQ(rig.port.trayState(), Tray::Failing);
    rig.port.cmdMonitor_Click();
    EXPECT_EQ(rig.port.trayState(), Tray::Normal) << "not monitoring";
    const std::vector<Tray> shown{Tray::Failing, Tray::Alerted, Tray::Normal, Tray::Failing,
                                  Tray::Normal,  Tray::Failing, Tray::Normal};
    EXPECT_EQ(rig.tray.states, shown);

    // Each notice is the logged message: the alert urgent, the recovery normal.
    std::vector<std::string> logged;
    for (const std::string& line : rig.logLines())
        if (line.find(" - Alert for ") != std::string::npos)
            logged.insert(logged.begin(), line.substr(line.find(" - ") + 3));
    ASSERT_EQ(logged.size(), 2u);
    const Urgency urgencies[] = {Urgency::Critical, Urgency::Normal};
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(rig.notifier.notices[i].summary, logged[i]);
        EXPECT_EQ(rig.notifier.notices[i].urgency, urgencies[i]) << logged[i];
    }
    EXPECT_NE(logged[1].find(" Back to Alive"), std::string::npos);
}

// A long cycle does not hold the desktop's notices back until it ends: the first one waits its hold at most,
// together with those that came meanwhile.
TEST(DesktopStatus, ALongCycleHoldsItsNoticesForTheHoldAtMost) {
    TestRig rig;
    std::string hosts;
    for (int port = 1; port <= 30; ++port)
        hosts += "\"127.0.0.1\",\"" + std::to_string(port) + "\",\"\",\"1\"\r\n";
    writeFile(rig.folder / "host.ini", hosts);
    rig.port.Form_Load();
    rig.socket.stateOnConnect = ProbeSocket::Error;
    rig.port.cmdMonitor_Click();
    rig.scheduler.advance(DesktopNotice::kHoldMs + 3000);
    ASSERT_EQ(rig.notifier.notices.size(), 1u);
    EXPECT_NE(rig.notifier.notices[0].summary.find(" targets down: 127.0.0.1 1, 127.0.0.1 2, 127.0.0.1 3 and "),
              std::string::npos)
        << rig.notifier.notices[0].summary;
    EXPECT_EQ(rig.port.grid().cell(30, HostTable::colLastStatus), "") << "the cycle still runs";
}

TEST(DesktopStatus, LastStatusTipSaysSinceWhenAndWhenTheTargetLastAnswered) {
    const LocalDateTime now{2026, 12, 6, 9, 42, 33};
    auto at = [](int hour, int minute, int second, int day = 6) {
        return LocalDateTime{2026, 12, day, hour, minute, second};
    };
    struct Case {
        std::vector<std::pair<RowHistory::State, LocalDateTime>> outcomes;
        std::string tip;
    };
    using S = RowHistory::State;
    const Case cases[] = {
        {{}, ""},
        {{{S::Down, at(9, 30, 33)}}, "Down since 09:30:33, 12 min; never answered"},
        {{{S::Up, at(9, 18, 2)}, {S::Down, at(9, 30, 33)}, {S::Down, at(9, 41, 0)}},
         "Down since 09:30:33, 12 min; last answered 09:18:02"},
        {{{S::Up, at(8, 38, 0)}, {S::Up, at(9, 42, 0)}}, "Up since 08:38:00, 1 h 4 min; last answered 09:42:00"},
        {{{S::Up, at(9, 42, 0)}}, "Up since 09:42:00, 33 s; last answered 09:42:00"},
        {{{S::Up, at(7, 0, 0, 4)}, {S::Closed, at(9, 40, 0)}},
         "Closed since 09:40:00, 2 min; last answered 2026-12-04 07:00:00"},
        {{{S::Down, at(23, 59, 0, 3)}}, "Down since 2026-12-03 23:59:00, 2 d 9 h; never answered"},
        {{{S::Resolved, at(9, 43, 0)}}, "Resolved since 09:43:00, 0 s; never answered"}, // the clock went back
    };
    for (const Case& c : cases) {
        RowHistory history;
        for (const auto& [state, when] : c.outcomes)
            history.record(state, when);
        EXPECT_EQ(describeRowHistory(history, now), c.tip);
    }
}

} // namespace
} // namespace wardel::test
