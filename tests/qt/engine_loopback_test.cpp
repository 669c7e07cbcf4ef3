#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "support/live_rig.h"
#include "support/loopback_targets.h"

namespace wardel::test {
namespace {

using testing::Each;
using testing::ElementsAre;
using testing::StartsWith;

// Every text a row's Last Status cell showed, in order.
class StatusHistory : public HostTableObserver {
public:
    explicit StatusHistory(HostTable& grid) : grid_(grid), observing_(grid.observe(*this)) {}
    std::vector<std::string> prefixes(int row) const {
        std::vector<std::string> result;
        for (const auto& text : shown_.count(row) ? shown_.at(row) : std::vector<std::string>{})
            result.push_back(text.substr(0, text.find('(') + 1));
        return result;
    }

private:
    void cellChanged(int row, int column) override {
        if (column == HostTable::colLastStatus)
            shown_[row].push_back(grid_.cell(row, column));
    }
    void rowsInserted(int, int) override {}
    void rowsRemoved(int, int) override {}
    void enabledChanged() override {}
    void currentRowChanged() override {}

    HostTable& grid_;
    std::map<int, std::vector<std::string>> shown_;
    Subscription observing_;
};

// The main window's engine on the real clock, timers and socket.
TEST(EngineOnLoopback, OneCycleOverOpenClosedSilentFloodingClosingAndResettingTargets) {
    OpenTarget open;
    SilentTarget silent;
    FloodingTarget flooding;
    ClosingTarget closing;
    ResettingTarget resetting;
    const std::string openPort = std::to_string(open.port());
    const std::string closedPort = std::to_string(refusingPort());

    LiveRig rig;
    HostTable& grid = rig.grid;
    AppSettings& settings = rig.settings;
    MainControls& controls = rig.controls;
    StatusHistory history(grid);

    const struct {
        std::string host;
        std::string port;
    } targets[] = {{"127.0.0.1", openPort},
                   {"127.0.0.1", closedPort},
                   {"127.0.0.1", std::to_string(silent.port())},
                   {"localhost", openPort},
                   {"::1", openPort},
                   {"127.0.0.1", std::to_string(flooding.port())},
                   {"127.0.0.1", std::to_string(closing.port())},
                   {"127.0.0.1", std::to_string(resetting.port())}};
    for (const auto& target : targets) {
        const int row = grid.isEmpty() ? 1 : grid.appendRow();
        grid.setCell(row, HostTable::colHost, target.host);
        grid.setCell(row, HostTable::colPort, target.port);
        grid.setCell(row, HostTable::colTimeoutLimit, "1");
        grid.setCell(row, HostTable::colCount, "0");
    }
    settings.timeInterval = "60";
    settings.timeOut = "3";

    rig.port.cmdMonitor_Click();
    const auto cycleEnded = [&] { return controls.Label2.text().rfind("Current status : now ", 0) == 0; };
    ASSERT_TRUE(serveUntil(cycleEnded, 20000));

    EXPECT_THAT(history.prefixes(1), ElementsAre("ALIVE("));
    EXPECT_THAT(history.prefixes(2), ElementsAre("Down("));
    // Connecting with a time that advances each second (two or three texts, as the seconds fall), then Timeout.
    const auto silentRow = history.prefixes(3);
    ASSERT_GE(silentRow.size(), 3u);
    EXPECT_EQ(silentRow.back(), "Timeout(");
    EXPECT_THAT(std::vector<std::string>(silentRow.begin(), silentRow.end() - 1), Each(std::string("Connecting(")));
    EXPECT_THAT(history.prefixes(4), ElementsAre("ALIVE("));
    EXPECT_THAT(history.prefixes(5), ElementsAre("ALIVE("));
    EXPECT_THAT(history.prefixes(6), ElementsAre("ALIVE(")); // a target that talks is probed like any other
    // Accepted, then closed or reset by the target at once: the connection was made, so the target answered.
    EXPECT_THAT(history.prefixes(7), ElementsAre("ALIVE("));
    EXPECT_THAT(history.prefixes(8), ElementsAre("ALIVE("));
    std::vector<std::string> alerts; // oldest first
    for (std::size_t i = rig.logBox.lineCount(); i-- > 0;)
        if (rig.logBox.line(i).find(" - Alert for ") != std::string::npos)
            alerts.push_back(rig.logBox.line(i).substr(22));
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_THAT(alerts[0], StartsWith("Alert for 127.0.0.1 " + closedPort + " Down("));
    EXPECT_THAT(alerts[1], StartsWith("Alert for 127.0.0.1 " + std::to_string(silent.port()) + " Timeout("));
    EXPECT_TRUE(rig.port.Timer1().enabled());
    EXPECT_EQ(rig.socket.state(), ProbeSocket::Closed);

    rig.port.cmdMonitor_Click();
    EXPECT_EQ(controls.cmdMonitor.text(), "&Start Monitor");
}

} // namespace
} // namespace wardel::test
