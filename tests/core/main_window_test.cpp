#include <gtest/gtest.h>

#include <filesystem>

#include "support/settings_builders.h"
#include "support/test_rig.h"

namespace wardel {
namespace {

using test::readFile;
using test::TestRig;
using test::writeFile;

// Empty time limits load as 60 and 30 seconds.
const std::string kSettingsWithFileLog = test::settingsText({.logEnabled = 1});

TEST(MainWindowStartUp, FirstStartWithoutFiles) {
    TestRig rig;
    rig.port.Form_Load();
    const auto& c = rig.controls;
    EXPECT_EQ(c.SMSPort.text(), "Wardel V4.2 2026-12-06 07:05:09");
    EXPECT_TRUE(rig.tray.added);
    EXPECT_EQ(rig.tray.tip, "Wardel ");
    EXPECT_EQ(c.cbxPortSel.items().size(), 12u);
    EXPECT_EQ(c.cbxPortSel.text(), "WWW   (80)");
    EXPECT_EQ(c.cbxPortSel.items().back(), "Others (??\?\?)");
    EXPECT_EQ(c.num_Timeout.text(), "5");
    EXPECT_EQ(c.num_Timeout.items().at(10), "15");
    EXPECT_EQ(rig.grid.rowCount(), 2);
    EXPECT_EQ(rig.grid.cell(0, 0), "Host Name / IP Address");
    EXPECT_EQ(rig.grid.cell(0, 6), "Count");
    EXPECT_EQ(rig.grid.cell(1, 0), "");
    EXPECT_TRUE(rig.window.isVisible);
    EXPECT_EQ(c.cmdMonitor.text(), "&Start Monitor");
    // Without a settings file the labels show the values in force.
    EXPECT_EQ(c.lblTimeinterval.text(), "Time interval cycle for monitoring : 60 seconds");
    EXPECT_EQ(c.lblTimeout.text(), "Connecting timeout values : 30 seconds");
    ASSERT_EQ(rig.logLines().size(), 1u);
    EXPECT_EQ(rig.logLines()[0], "2026-12-06 07:05:09 - Wardel Program Start Running");
}

TEST(MainWindowStartUp, FirstLineReachesTheBoxOnlyAndSettingsSetTheLabels) {
    TestRig rig;
    writeFile(rig.folder / "setting.ini", kSettingsWithFileLog);
    rig.port.Form_Load();
    EXPECT_FALSE(std::filesystem::exists(rig.folder / "log_1206.txt"));
    EXPECT_EQ(rig.controls.lblTimeinterval.text(), "Time interval cycle for monitoring : 60 seconds");
    EXPECT_EQ(rig.controls.lblTimeout.text(), "Connecting timeout values : 30 seconds");

    rig.scheduler.advance(5000);
    rig.port.cmdExit_Click();
    EXPECT_EQ(readFile(rig.folder / "log_1206.txt"), "2026-12-06 07:05:14 - Wardel Program Ended\r\n");
}

TEST(MainWindowStartUp, MissingAccountAsksForIt) {
    TestRig rig;
    rig.port.Form_Load();
    EXPECT_EQ(rig.controls.Label4.text(), "Email OR Password is Empty !! Click HERE to set up");
    EXPECT_TRUE(rig.mainReader.requests.empty());
    EXPECT_FALSE(rig.controls.Label7.visible());
}

TEST(MainWindowStartUp, StartOnLaunchMonitorsAfterTheLogonIsIssuedBeforeItsReply) {
    TestRig rig;
    writeFile(rig.folder / "setting.ini",
              test::settingsText({.smsEmail = "ops@example.org", .smsPassword = "secret", .startOnLaunch = 1}));
    writeFile(rig.folder / "host.ini", "\"127.0.0.1\",\"80\",\"web\",\"5\"\r\n");
    std::size_t requestsAtConnect = 0;
    rig.socket.onConnect = [&](const std::string&, std::int32_t) {
        requestsAtConnect = rig.mainReader.requests.size();
    };
    rig.port.Form_Load();
    ASSERT_EQ(rig.socket.attempts.size(), 1u);
    EXPECT_EQ(rig.socket.attempts[0].host, "127.0.0.1");
    EXPECT_EQ(requestsAtConnect, 1u);
    EXPECT_EQ(rig.mainReader.requests.at(0).name, "logon1");
    EXPECT_EQ(rig.controls.cmdMonitor.text(), "&Stop Monitor");
    EXPECT_EQ(rig.controls.Label4.text(), "Connecting to Textora , Please wait ....");
    EXPECT_EQ(rig.logLines().front(), "2026-12-06 07:05:09 - Monitoring Started");
}

TEST(MainWindowShutDown, LogsClosesTheSocketRemovesTheTrayAndEndsOnce) {
    TestRig rig;
    rig.port.Form_Load();
    rig.socket.setState(ProbeSocket::Connecting);
    rig.port.Form_Unload();
    EXPECT_EQ(rig.logLines().front(), "2026-12-06 07:05:09 - Wardel Program Ended");
    EXPECT_EQ(rig.socket.state(), ProbeSocket::Closed);
    EXPECT_EQ(rig.socket.closes, 1);
    EXPECT_FALSE(rig.tray.added);
    EXPECT_TRUE(rig.window.ended);

    // The close box after Exit, or a signal after a failed logon, finds the program already ended.
    rig.port.Form_Unload();
    EXPECT_EQ(rig.logLines().size(), 2u);
    EXPECT_EQ(rig.socket.closes, 1);
}

TEST(MainWindowShutDown, IdleSocketIsNotClosedAgain) {
    TestRig rig;
    rig.port.Form_Load();
    rig.port.cmdExit_Click();
    EXPECT_EQ(rig.socket.closes, 0);
    EXPECT_TRUE(rig.window.ended);
}

TEST(MainWindowTray, MinimiseHidesOnlyWhenTheTrayCanBringItBack) {
    // A tray that comes or goes after the start counts as it is at the minimise.
    for (const bool trayAvailable : {true, false}) {
        TestRig rig;
        rig.tray.isAvailable = !trayAvailable;
        rig.port.Form_Load();
        EXPECT_TRUE(rig.tray.added);
        rig.tray.isAvailable = trayAvailable;
        rig.window.calls.clear();
        rig.port.Form_Resize(false);
        EXPECT_TRUE(rig.window.calls.empty());
        rig.port.Form_Resize(true);
        EXPECT_EQ(rig.window.isVisible, !trayAvailable);
    }
}

TEST(MainWindowTray, DoubleClickRestoresInOrderEvenWhenVisible) {
    TestRig rig;
    rig.port.Form_Load();
    rig.port.Form_Resize(true);
    rig.window.calls.clear();
    rig.tray.doubleClick();
    EXPECT_EQ(rig.window.calls, (std::vector<std::string>{"normal", "front", "center", "show"}));
    rig.tray.doubleClick();
    EXPECT_EQ(rig.window.calls.size(), 8u);
}

} // namespace
} // namespace wardel
