#include <gtest/gtest.h>

#include <QTcpServer>
#include <string>
#include <vector>

#include "common/utf8.h"
#include "gateway_sim/gateway_simulator.h"
#include "support/live_rig.h"
#include "support/loopback_targets.h"
#include "support/query_values.h"
#include "support/settings_builders.h"

namespace wardel::test {
namespace {

// The main window's engine, gateway client, dispatch and URL readers on real time against the gateway
// simulator; a target on loopback that refuses, then answers, then refuses again.
TEST(AlertsOnLoopback, AlertsReachTheGatewayAsSmsWithinTheCapThenAsMail) {
    sim::GatewaySimulator simulator;
    ASSERT_TRUE(simulator.listen());
    const quint16 port = refusingPort();

    LiveRig rig(simulator.baseUrl().toStdString());
    GatewayClient& gateway = rig.port.gateway();
    HostTable& grid = rig.grid;
    LogBox& logBox = rig.logBox;

    auto& s = rig.settings;
    s = test::settingsWithAlertsOn();
    s.maxSms = "2";
    s.timeInterval = "1";
    s.timeOut = "3";
    grid.setCell(1, HostTable::colHost, "127.0.0.1");
    grid.setCell(1, HostTable::colPort, std::to_string(port));
    grid.setCell(1, HostTable::colDescription, "R&D caf\xC3\xA9");
    grid.setCell(1, HostTable::colTimeoutLimit, "2");
    grid.setCell(1, HostTable::colCount, "0");

    gateway.GatewayLogon();
    ASSERT_TRUE(serveUntil([&] { return gateway.state().gatewayLoggedIn && rig.controls.Label7.visible(); }, 5000));
    ASSERT_EQ(simulator.requestLines().size(), 1);

    // Each request as the simulator received it: path and the values a web server reads.
    const auto received = [&](qsizetype from) {
        std::vector<std::string> seen;
        for (qsizetype i = from; i < simulator.requestLines().size(); ++i) {
            const std::string target = simulator.requestLines()[i].split(' ').value(1).toStdString();
            const std::string path = queryPath(target);
            if (path == "/txgate/php/creditupdate.php")
                seen.push_back(path);
            else if (path == "/txgate/php/smstoolsen.php")
                seen.push_back(path + " " + queryValue(target, "to") + " [" + queryValue(target, "text") + "]");
            else
                seen.push_back(path + " " + queryValue(target, "email_list") + " [" + queryValue(target, "text") + "]");
        }
        return seen;
    };
    const auto lastAlert = [&] {
        for (std::size_t i = 0; i < logBox.lineCount(); ++i)
            if (logBox.line(i).find(" - Alert for ") != std::string::npos)
                return logBox.line(i).substr(22);
        return std::string();
    };
    const auto requestsReach = [&](qsizetype count) {
        return serveUntil([&] { return simulator.requestLines().size() >= count; }, 20000);
    };

    rig.port.cmdMonitor_Click(); // two refused cycles reach the limit
    ASSERT_TRUE(requestsReach(3));
    const std::string down = lastAlert();
    ASSERT_EQ(down.rfind("Alert for 127.0.0.1 " + std::to_string(port) + " Down(", 0), 0u) << down;
    EXPECT_EQ(received(1), (std::vector<std::string>{"/txgate/php/smstoolsen.php 441111111111 [" + down + "]",
                                                     "/txgate/php/creditupdate.php"}));

    QTcpServer target;
    ASSERT_TRUE(target.listen(QHostAddress::LocalHost, port)); // the next cycle finds it alive
    ASSERT_TRUE(requestsReach(5));
    const std::string back = lastAlert();
    EXPECT_EQ(back.substr(back.size() - 14), " Back to Alive");
    EXPECT_EQ(received(3),
              (std::vector<std::string>{"/txgate/php/smstoolsen.php 441111111111 [" + back + " Today SMS:2/2]",
                                        "/txgate/php/creditupdate.php"}));

    target.close(); // refused again: the day's two SMS are spent
    ASSERT_TRUE(requestsReach(7));
    const std::string downAgain = lastAlert();
    EXPECT_NE(downAgain, down);
    EXPECT_EQ(received(5), (std::vector<std::string>{"/txgate/php/mail_alert.php boss@example.com [" + downAgain + "]",
                                                     "/txgate/php/creditupdate.php"}));
    EXPECT_EQ(logBox.line(0).substr(22), "Mail Alert Send to boss@example.com");
    EXPECT_EQ(logBox.line(1).substr(22), "No SMS send ..up to the limit 2 a day");
    EXPECT_EQ(rig.controls.Label7.text(), "23");
    rig.port.cmdMonitor_Click();
}

// A hand-edited host.ini with a 10 MB description: the log box shows the start of the alert line, the day's
// file the whole line, and the mail alert reaches the gateway within a mail request's size.
TEST(AlertsOnLoopback, ATenMegabyteDescriptionIsCutInTheBoxAndTheMailAndWholeInTheFile) {
    sim::GatewaySimulator simulator;
    ASSERT_TRUE(simulator.listen());
    LiveRig rig(simulator.baseUrl().toStdString());
    rig.settings = test::settingsWithAlertsOn();
    rig.settings.maxSms = "0"; // every alert goes out as a mail
    rig.settings.logEnabled = 1;
    rig.settings.timeInterval = "1";
    rig.port.gateway().state().gatewayLoggedIn = true;
    rig.port.gateway().state().creditText = "9";
    const std::string description = "caf\xC3\xA9 " + std::string(10 * 1000 * 1000, 'd');
    rig.grid.setCell(1, HostTable::colHost, "127.0.0.1");
    rig.grid.setCell(1, HostTable::colPort, std::to_string(refusingPort()));
    rig.grid.setCell(1, HostTable::colDescription, description);
    rig.grid.setCell(1, HostTable::colTimeoutLimit, "1");
    rig.grid.setCell(1, HostTable::colCount, "0");

    rig.port.cmdMonitor_Click();
    ASSERT_TRUE(serveUntil([&] { return !simulator.requestLines().empty(); }, 20000));
    rig.port.cmdMonitor_Click();
    const QByteArray request = simulator.requestLines()[0];
    EXPECT_LE(request.size(), qsizetype(GatewayClient::kMaxMailUrlBytes + std::string("GET  HTTP/1.1").size()));
    // Newest first: "Monitoring Stopped", "Mail Alert Send to ...", "No SMS send ...", the alert.
    EXPECT_EQ(rig.logBox.line(1).substr(22), "Mail Alert Send to boss@example.com");
    const std::string line = rig.logBox.line(3);
    const std::string whole = line.substr(0, line.find(" caf\xC3\xA9 ") + 1) + description;
    EXPECT_EQ(line, whole.substr(0, utf8::prefixBytes(whole, LogBox::kLineCharacters)) + "\xE2\x80\xA6");
    EXPECT_NE(readFile(rig.port.eventLog().fileFor(rig.clock.now())).find(whole + "\r\n"), std::string::npos);
}

} // namespace
} // namespace wardel::test
