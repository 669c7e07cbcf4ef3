#include <gtest/gtest.h>

#include <QTcpServer>
#include <string>
#include <vector>

#include "alerts/alert_dispatch.h"
#include "alerts/gateway_client.h"
#include "gateway_sim/gateway_simulator.h"
#include "monitor/monitor_engine.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_probe_socket.h"
#include "platform/qt/qt_timer.h"
#include "platform/qt/qt_url_fetcher.h"
#include "support/loopback_targets.h"
#include "support/query_values.h"
#include "support/test_rig.h"

namespace wardel::test {
namespace {

// The real engine, gateway client, dispatch and URL readers on real time against the gateway simulator;
// a target on loopback that refuses, then answers, then refuses again.
TEST(AlertsOnLoopback, AlertsReachTheGatewayAsSmsWithinTheCapThenAsMail) {
    sim::GatewaySimulator simulator;
    ASSERT_TRUE(simulator.listen());
    const quint16 port = refusingPort();

    TempFolder folder;
    qt::QtClock clock;
    qt::QtTimerSource timers;
    qt::QtProbeSocket socket;
    qt::QtUrlFetcher mainReader, creditReader;
    FakeMessageBox messages;
    FakeWindow window;
    AppSettings settings;
    RuntimeValues runtime;
    MainControls controls;
    HostTable grid;
    LogBox logBox;
    EventLog log{clock, settings, logBox, folder.path()};
    const auto timer1 = timers.createTimer(1000, false);
    const auto timer2 = timers.createTimer(1000, false);
    const auto timer3 = timers.createTimer(1000, false);
    GatewayClient gateway(
        clock, mainReader, creditReader, messages, window, controls.Label4, controls.Label7, settings, runtime, [] {},
        simulator.baseUrl().toStdString());
    AlertDispatch dispatch(settings, runtime, gateway, log);
    MonitorEngine engine{clock,    *timer1, *timer2,
                         *timer3,  timers,  socket,
                         messages, grid,    {controls.cmdMonitor, controls.cmdAdd, controls.Label2},
                         settings, log,     dispatch};

    auto& s = settings;
    s.smsEmail = "ops@example.com";
    s.smsPassword = "secret";
    s.alertEnabled = 1;
    s.smsPhone = "441111111111";
    s.mailList = "boss@example.com";
    s.maxSms = "2";
    s.timeInterval = "1";
    s.timeOut = "3";
    grid.setCell(1, HostTable::colHost, "127.0.0.1");
    grid.setCell(1, HostTable::colPort, std::to_string(port));
    grid.setCell(1, HostTable::colDescription, "R&D caf\xC3\xA9");
    grid.setCell(1, HostTable::colTimeoutLimit, "2");
    grid.setCell(1, HostTable::colCount, "0");

    gateway.GatewayLogon();
    ASSERT_TRUE(serveUntil([&] { return gateway.state().gatewayLoggedIn && controls.Label7.visible(); }, 5000));
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

    engine.cmdMonitor_Click(); // two refused cycles reach the limit
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
    EXPECT_EQ(controls.Label7.text(), "23");
    engine.cmdMonitor_Click();
}

} // namespace
} // namespace wardel::test
