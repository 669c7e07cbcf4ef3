#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/time_format.h"
#include "hosts/host_editor.h"
#include "support/engine_rig.h"

namespace wardel::test {
namespace {

using testing::ElementsAre;
using Phase = MonitorEngine::Phase;

constexpr int kQuick = ProbeSocket::Connected;
constexpr int kRefused = ProbeSocket::Error;
constexpr int kSilent = ProbeSocket::Connecting;

TEST(MonitorEngine, StartRunsOneCycleInGridOrderAndSchedulesTheNext) {
    EngineRig rig;
    for (const char* host : {"A", "B", "C"}) {
        rig.addTarget(host, "80");
        rig.answer(host, kQuick);
    }
    rig.setIntervals("5", "30");
    rig.click();
    rig.at(3000);
    EXPECT_EQ(rig.journal(), (std::vector<std::string>{
                                 "t=0 cmdMonitor.text=&Stop Monitor",
                                 "t=0 log Monitoring Started",
                                 "t=0 Label2.visible=1",
                                 "t=0 cmdAdd.enabled=0",
                                 "t=0 grid.enabled=0",
                                 "t=0 Label2.text=Current status : 07:05:09 checking A Port : 80",
                                 "t=0 connect A:80",
                                 "t=1000 cell 1,2=ALIVE(07:05:10)",
                                 "t=1000 Label2.text=Current status : 07:05:10 checking B Port : 80",
                                 "t=1000 connect B:80",
                                 "t=2000 cell 2,2=ALIVE(07:05:11)",
                                 "t=2000 Label2.text=Current status : 07:05:11 checking C Port : 80",
                                 "t=2000 connect C:80",
                                 "t=3000 cell 3,2=ALIVE(07:05:12)",
                                 "t=3000 grid.enabled=1",
                                 "t=3000 Label2.text=Current status : now 07:05:12 waiting 5 seconds for next start",
                                 "t=3000 cmdAdd.enabled=1",
                             }));
    EXPECT_EQ(rig.socket.closes, 3);
    // The pause counts from the end of the cycle: five ticks of Timer1.
    rig.at(7999);
    EXPECT_EQ(rig.socket.attempts.size(), 3u);
    rig.at(8000);
    EXPECT_THAT(rig.journal("connect"), testing::Contains("t=8000 connect A:80"));
}

TEST(MonitorEngine, SilentTargetShowsConnectingEverySecondThenTimeout) {
    EngineRig rig;
    rig.addTarget("10.9.9.9", "22");
    rig.setIntervals("60", "3");
    rig.click();
    rig.at(3000);
    EXPECT_THAT(rig.journal("cell"),
                ElementsAre("t=1000 cell 1,2=Connecting(07:05:10)", "t=2000 cell 1,2=Connecting(07:05:11)",
                            "t=3000 cell 1,6=1", "t=3000 cell 1,2=Timeout(07:05:12)"));
    EXPECT_EQ(rig.engine.phase(), Phase::Idle);
    EXPECT_TRUE(rig.Timer1.enabled());
}

TEST(MonitorEngine, TheWaitingTextShowsTheClocksSecondAsItChanges) {
    EngineRig rig({2026, 12, 6, 7, 5, 9, 600}); // each second of the clock begins 400 ms into a tick
    rig.addTarget("10.9.9.9", "22");
    rig.setIntervals("60", "5");
    rig.click();
    for (int t = 1000; t < 5000; t += 50) {
        rig.at(t);
        ASSERT_EQ(rig.status(1), "Connecting(" + formatTime(rig.scheduler.now()) + ")") << "t=" << t;
    }
}

TEST(MonitorEngine, EveryProbeGetsTheWholeTimeout) {
    EngineRig rig;
    rig.addTarget("slow", "80");
    rig.addTarget("silent", "80");
    rig.setIntervals("60", "3");
    rig.click();
    rig.at(2500);
    rig.socket.setState(kQuick); // the slow one answers after two and a half of its three seconds
    rig.at(6000);
    EXPECT_THAT(rig.journal("cell 2,2"),
                ElementsAre("t=3500 cell 2,2=Connecting(07:05:12)", "t=4000 cell 2,2=Connecting(07:05:13)",
                            "t=5000 cell 2,2=Connecting(07:05:14)", "t=5500 cell 2,2=Timeout(07:05:14)"));
}

TEST(MonitorEngine, WaitsFollowTheSocketAndAreNotRepeated) {
    EngineRig rig;
    rig.addTarget("name.invalid", "80");
    rig.answer("name.invalid", ProbeSocket::ResolvingHost);
    rig.setIntervals("60", "30");
    rig.click();
    rig.at(1500);
    rig.socket.setState(ProbeSocket::Connecting);
    rig.at(2000);
    rig.socket.setState(ProbeSocket::ResolvingHost); // back to a wait that has ended: not waited for
    rig.scheduler.runPending();
    EXPECT_THAT(rig.journal("cell"),
                ElementsAre("t=1000 cell 1,2=Resolving(07:05:10)", "t=1500 cell 1,2=Connecting(07:05:10)",
                            "t=2000 cell 1,2=Connecting(07:05:11)"));
    EXPECT_EQ(rig.engine.phase(), Phase::Idle);
    EXPECT_EQ(rig.cell(1, HostTable::colCount), "0");
}

TEST(MonitorEngine, AProbeHasOneOutcomeAtEveryTimeout) {
    const struct {
        const char* timeout;
        int answer;
        const char* status; // the row's last status text, and an alert with it unless the target answered
    } cases[] = {
        {"0", kQuick, "t=1000 cell 1,2=ALIVE(07:05:10)"},    {"1", kQuick, "t=1000 cell 1,2=ALIVE(07:05:10)"},
        {"2", kQuick, "t=1000 cell 1,2=ALIVE(07:05:10)"},    {"0", kRefused, "t=1000 cell 1,2=Down(07:05:10)"},
        {"1", kRefused, "t=1000 cell 1,2=Down(07:05:10)"},   {"2", kRefused, "t=1000 cell 1,2=Down(07:05:10)"},
        {"0", kSilent, "t=1000 cell 1,2=Timeout(07:05:10)"}, {"1", kSilent, "t=1000 cell 1,2=Timeout(07:05:10)"},
        {"2", kSilent, "t=2000 cell 1,2=Timeout(07:05:11)"},
    };
    for (const auto& c : cases) {
        EngineRig rig;
        rig.addTarget("A", "80", "", "1");
        rig.answer("A", c.answer);
        rig.setIntervals("60", c.timeout);
        rig.click();
        rig.at(3000);
        EXPECT_EQ(rig.journal("cell 1,2").back(), c.status) << c.timeout;
        EXPECT_EQ(rig.journal("log Alert").size(), c.answer == kQuick ? 0u : 1u) << c.status;
    }
}

TEST(MonitorEngine, SettingsAreDefaultedInMemoryAndSaturated) {
    const struct {
        const char* interval;
        const char* timeout;
        const char* intervalAfter;
        std::int16_t cycleCountdown;
        std::int16_t timeoutCountdown;
    } cases[] = {
        {"  ", "", "60", 60, 30},
        {"99999", "1e9", "99999", 32767, 32767},
        {" 7 s", "abc", " 7 s", 7, 0},
    };
    for (const auto& c : cases) {
        EngineRig rig;
        rig.addTarget("A", "80");
        rig.answer("A", kQuick);
        rig.setIntervals(c.interval, c.timeout);
        rig.click();
        EXPECT_EQ(rig.settings.timeInterval, c.intervalAfter);
        EXPECT_EQ(rig.engine.cycleCountdown(), c.cycleCountdown);
        EXPECT_EQ(rig.engine.timeoutCountdown(), c.timeoutCountdown);
        rig.at(1000);
        EXPECT_THAT(rig.journal("Label2.text"),
                    testing::Contains("t=1000 Label2.text=Current status : now 07:05:10 waiting " +
                                      std::string(c.intervalAfter) + " seconds for next start"));
        EXPECT_FALSE(std::filesystem::exists(rig.folder / "setting.ini"));
    }
}

TEST(MonitorEngine, EmptyFirstHostRefusesStartAndStop) {
    EngineRig rig;
    rig.click();
    rig.controls.cmdMonitor.setText("&Stop Monitor");
    rig.click();
    EXPECT_THAT(rig.messages.shown,
                ElementsAre(" No Host / IP address to monitor !!", " No Host / IP address to monitor !!"));
    EXPECT_TRUE(rig.journal("log").empty());
    EXPECT_TRUE(rig.socket.attempts.empty());
}

// Where the stop click comes, and what the row being probed shows afterwards.
TEST(MonitorEngine, StopLetsTheProbedRowFinishAndProbesNothingMore) {
    const struct {
        std::int64_t stopAt;
        const char* lastCell;
    } cases[] = {
        {500, "t=1000 cell 1,2=Closed(07:05:10)"},  // during the connect pause
        {1500, "t=1500 cell 1,2=Closed(07:05:10)"}, // while connecting
    };
    for (const auto& c : cases) {
        EngineRig rig;
        rig.addTarget("A", "80");
        rig.addTarget("B", "80");
        rig.answer("B", kQuick);
        rig.setIntervals("1", "30");
        rig.click();
        rig.at(c.stopAt);
        rig.click();
        rig.at(600000);
        EXPECT_EQ(rig.journal("cell").back(), c.lastCell);
        EXPECT_THAT(rig.journal("log"), ElementsAre("t=0 log Monitoring Started",
                                                    "t=" + std::to_string(c.stopAt) + " log Monitoring Stopped"));
        EXPECT_THAT(rig.hostsConnected(), ElementsAre("A"));
        EXPECT_FALSE(rig.controls.Label2.visible());
        EXPECT_TRUE(rig.controls.cmdAdd.enabled());
        EXPECT_TRUE(rig.grid.enabled());
        EXPECT_EQ(rig.controls.cmdMonitor.text(), "&Start Monitor");
    }
}

TEST(MonitorEngine, StopDuringTheLastRowOrBetweenCyclesSchedulesNothing) {
    for (const std::int64_t stopAt : {500, 1500}) {
        EngineRig rig;
        rig.addTarget("A", "80");
        rig.answer("A", kQuick);
        rig.setIntervals("1", "30");
        rig.click();
        rig.at(stopAt);
        rig.click();
        rig.at(600000);
        EXPECT_EQ(rig.socket.attempts.size(), 1u) << stopAt;
        EXPECT_FALSE(rig.Timer1.enabled());
        EXPECT_FALSE(rig.Timer2.enabled());
        EXPECT_TRUE(rig.controls.cmdAdd.enabled());
        EXPECT_TRUE(rig.grid.enabled());
    }
}

TEST(MonitorEngine, StartDuringAStoppedRowBeginsRightAfterIt) {
    EngineRig rig;
    rig.addTarget("A", "80");
    rig.addTarget("B", "80");
    rig.answer("B", kQuick);
    rig.setIntervals("60", "30");
    rig.click();
    rig.at(500);
    rig.click(); // stop
    rig.at(600);
    rig.click(); // start again while A still has its pause to run
    rig.at(2500);
    rig.socket.setState(kRefused);
    rig.at(3500);
    EXPECT_THAT(rig.journal("log"), ElementsAre("t=0 log Monitoring Started", "t=500 log Monitoring Stopped",
                                                "t=600 log Monitoring Started"));
    EXPECT_THAT(rig.journal("connect"), ElementsAre("t=0 connect A:80", "t=1000 connect A:80", "t=2500 connect B:80"));
    EXPECT_THAT(rig.journal("cell 1,2"),
                ElementsAre("t=1000 cell 1,2=Closed(07:05:10)", "t=2000 cell 1,2=Connecting(07:05:11)",
                            "t=2500 cell 1,2=Down(07:05:11)"));
    EXPECT_EQ(rig.status(2), "ALIVE(07:05:12)");
}

TEST(MonitorEngine, LimitThreeOverFiveDownCyclesThenBackToAlive) {
    EngineRig rig;
    rig.addTarget("A", "80", "web", "3");
    rig.answer("A", kRefused);
    rig.setIntervals("1", "30");
    rig.click();
    std::vector<std::string> counts, markers;
    for (int cycle = 1; cycle <= 5; ++cycle) {
        if (cycle > 1)
            rig.runCycles(1);
        else
            rig.at(1000);
        counts.push_back(rig.cell(1, HostTable::colCount));
        markers.push_back(rig.cell(1, HostTable::colAlert));
    }
    EXPECT_THAT(counts, ElementsAre("1", "2", "0", "1", "2"));
    EXPECT_THAT(markers, ElementsAre("", "", "1", "1", "1"));
    rig.answer("A", kQuick);
    rig.runCycles(1);
    EXPECT_THAT(rig.journal("log Alert"), ElementsAre("t=5000 log Alert for A 80 Down(07:05:14) web",
                                                      "t=11000 log Alert for A 80 ALIVE(07:05:20) web Back to Alive"));
    EXPECT_THAT(rig.journal("sms"), ElementsAre("t=5000 sms Alert for A 80 Down(07:05:14) web",
                                                "t=11000 sms Alert for A 80 ALIVE(07:05:20) web Back to Alive"));
    EXPECT_EQ(rig.cell(1, HostTable::colAlert), "");
    EXPECT_EQ(rig.cell(1, HostTable::colCount), "0");
}

TEST(MonitorEngine, TimeoutDownTimeoutRaisesOneTimeoutAlert) {
    EngineRig rig;
    rig.addTarget("A", "80", "db", "3");
    rig.setIntervals("1", "2");
    rig.click();
    rig.runCycles(1); // silent: Timeout
    rig.answer("A", kRefused);
    rig.runCycles(1); // Down
    rig.answer("A", ProbeSocket::Connecting);
    rig.runCycles(1); // Timeout
    const auto sent = rig.journal("sms");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_THAT(sent[0], testing::HasSubstr(" sms Alert for A 80 Timeout("));
}

TEST(MonitorEngine, EmptyHostHaltsWithAddAndGridBackAndStopStillWorks) {
    EngineRig rig;
    rig.addTarget("A", "80");
    rig.addTarget("", "80");
    rig.addTarget("C", "80");
    rig.answer("A", kQuick);
    rig.setIntervals("1", "30");
    rig.click();
    rig.at(600000);
    EXPECT_THAT(rig.hostsConnected(), ElementsAre("A"));
    EXPECT_EQ(rig.controls.cmdMonitor.text(), "&Stop Monitor");
    EXPECT_TRUE(rig.controls.cmdAdd.enabled());
    EXPECT_TRUE(rig.grid.enabled());
    EXPECT_FALSE(rig.Timer1.enabled());
    rig.click();
    EXPECT_EQ(rig.controls.cmdMonitor.text(), "&Start Monitor");
    EXPECT_EQ(rig.journal("log").back(), "t=600000 log Monitoring Stopped");
}

TEST(MonitorEngine, EmptiedTableHaltsAndAnAddLetsTheOperatorStop) {
    EngineRig rig;
    HostEditor& editor = rig.hostEditor;
    rig.addTarget("A", "80");
    rig.answer("A", kQuick);
    rig.setIntervals("1", "30");
    rig.click();
    rig.at(1500); // waiting between cycles: the grid takes clicks
    editor.grdHotGrid_Click(1);
    editor.cmdDelete_Click();
    rig.at(5000);
    EXPECT_EQ(rig.socket.attempts.size(), 1u);
    rig.click();
    EXPECT_THAT(rig.messages.shown, ElementsAre(" No Host / IP address to monitor !!"));
    ASSERT_TRUE(rig.controls.cmdAdd.enabled());
    rig.controls.txtIpAddress.setText("B");
    editor.cmdAdd_Click();
    rig.click();
    EXPECT_EQ(rig.controls.cmdMonitor.text(), "&Start Monitor");
}

// A Delete during a cycle: which row goes, and what the cycle probes and writes afterwards.
TEST(MonitorEngine, DeleteDuringACycle) {
    const struct {
        const char* name;
        int selected; // the row selected before the cycle, deleted at t=2500 while B is probed
        std::vector<std::string> connected;
        std::vector<std::string> hostsAfter;
        std::vector<std::string> statusAfter;
    } cases[] = {
        {"row above",
         1,
         {"A", "B", "C", "D"},
         {"B", "C", "D"},
         {"ALIVE(07:05:12)", "ALIVE(07:05:13)", "ALIVE(07:05:14)"}},
        {"probed row",
         2,
         {"A", "B", "C", "D"},
         {"A", "C", "D"},
         {"ALIVE(07:05:10)", "ALIVE(07:05:13)", "ALIVE(07:05:14)"}},
        {"last row", 4, {"A", "B", "C"}, {"A", "B", "C"}, {"ALIVE(07:05:10)", "ALIVE(07:05:12)", "ALIVE(07:05:13)"}},
    };
    for (const auto& c : cases) {
        EngineRig rig;
        HostEditor& editor = rig.hostEditor;
        for (const char* host : {"A", "B", "C", "D"})
            rig.addTarget(host, "80");
        for (const char* host : {"A", "C", "D"})
            rig.answer(host, kQuick);
        rig.setIntervals("60", "30");
        editor.grdHotGrid_Click(c.selected);
        rig.click();
        rig.at(2500);
        editor.cmdDelete_Click();
        rig.at(3000);
        rig.socket.setState(kQuick); // B answers, deleted or not
        rig.at(6000);
        std::vector<std::string> hosts, statuses;
        for (int row = 1; row < rig.grid.rowCount(); ++row) {
            hosts.push_back(rig.cell(row, HostTable::colHost));
            statuses.push_back(rig.status(row));
        }
        EXPECT_EQ(rig.hostsConnected(), c.connected) << c.name;
        EXPECT_EQ(hosts, c.hostsAfter) << c.name;
        EXPECT_EQ(statuses, c.statusAfter) << c.name;
        EXPECT_EQ(rig.engine.phase(), Phase::Idle) << c.name;
        EXPECT_TRUE(rig.Timer1.enabled()) << c.name; // the end-of-cycle steps ran
    }
}

TEST(MonitorEngine, DeletingTheOnlyEntryWhileItIsProbedLeavesTheRowEmpty) {
    EngineRig rig;
    HostEditor& editor = rig.hostEditor;
    rig.addTarget("A", "80", "", "1");
    rig.setIntervals("1", "3");
    editor.grdHotGrid_Click(1);
    rig.click();
    rig.at(1500);
    editor.cmdDelete_Click();
    rig.at(60000);
    EXPECT_EQ(rig.grid.entry(1).lastStatus, "");
    EXPECT_EQ(rig.grid.entry(1).count, "");
    EXPECT_TRUE(rig.journal("sms").empty());
    EXPECT_EQ(rig.socket.attempts.size(), 1u);
}

TEST(MonitorEngine, PortsTheSocketCannotTakeAreDownAtOnce) {
    EngineRig rig;
    rig.addTarget("A", "????");
    rig.addTarget("B", "70000");
    rig.addTarget("C", "99999999999");
    rig.addTarget("D", "80");
    rig.setIntervals("60", "30");
    rig.click();
    EXPECT_THAT(rig.journal("connect"), ElementsAre("t=0 connect D:80"));
    for (int row = 1; row <= 3; ++row) {
        EXPECT_EQ(rig.status(row), "Down(07:05:09)") << row;
        EXPECT_EQ(rig.cell(row, HostTable::colCount), "1") << row;
    }
}

TEST(MonitorEngine, SocketLeftOpenIsClosedAfterAPauseBeforeTheRowIsProbed) {
    EngineRig rig;
    rig.addTarget("A", "80");
    rig.socket.setState(ProbeSocket::Connected);
    rig.setIntervals("60", "30");
    rig.click();
    rig.at(1000);
    EXPECT_THAT(rig.journal("connect"), ElementsAre("t=1000 connect A:80"));
    EXPECT_THAT(rig.journal("Label2.text"),
                ElementsAre("t=1000 Label2.text=Current status : 07:05:10 checking A Port : 80"));
}

} // namespace
} // namespace wardel::test
