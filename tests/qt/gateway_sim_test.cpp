#include <gtest/gtest.h>

#include <QTcpServer>
#include <string>

#include "alerts/gateway_client.h"
#include "alerts/url_encoding.h"
#include "gateway_sim/gateway_simulator.h"
#include "support/live_rig.h"
#include "support/qt_wait.h"

namespace wardel {
namespace {

using sim::GatewaySimulator;
using sim::Misbehaviour;
using test::waitUntil;

const std::string kNow = "2026-12-06%2007:05:09"; // the fake clock's start, encoded
const std::string kFailureBox = "Connecting Error or Timeout !! Please check your network or try again";

// The main window model with the real URL readers over loopback; the clock and everything else are fakes.
struct LiveRig {
    explicit LiveRig(const std::string& base, qt::UrlReadLimits limits = {}) : readers(limits) {
        client.setGatewayBase(base);
        settings.smsEmail = "ops@example.com";
        settings.smsPassword = "p&ss=w#rd+1*";
    }
    // Logs on and waits for the gateway's answer.
    bool loggedOn() {
        client.GatewayLogon();
        return waitUntil([&] { return controls.Label7.visible(); });
    }
    // One alert through the dispatch, then the gateway's answers to it.
    bool alerted(const std::string& text) {
        port.alerts().SendAlert(Alert{AlertKind::Down, text, "web", "80", "web", {}});
        return waitUntil([&] { return readers.idle(); });
    }

    test::TempFolder folder;
    test::FakeScheduler scheduler;
    test::FakeSocket socket;
    test::LiveReaders readers;
    test::FakeMessageBox messages;
    test::FakeTray tray;
    test::FakeShell shell;
    test::FakeWindow window;
    test::FakeNotifier notifier;
    Platform platform{.clock = scheduler,
                      .timers = scheduler,
                      .socket = socket,
                      .mainReader = readers.main(),
                      .creditReader = readers.credit(),
                      .messages = messages,
                      .tray = tray,
                      .shell = shell,
                      .window = window,
                      .notifier = notifier};
    SMSPort port{platform, folder.path()};
    GatewayClient& client = port.gateway();
    AppSettings& settings = port.settings();
    MainControls& controls = port.controls();
};

class GatewaySimTest : public testing::Test {
protected:
    GatewaySimulator simulator;
    bool listening = [this] {
        simulator.account().password = "p&ss=w#rd+1*";
        return simulator.listen();
    }();
    LiveRig rig{simulator.baseUrl().toStdString()};
};

TEST_F(GatewaySimTest, LogonShowsTheAccountAndTheCredit) {
    ASSERT_TRUE(listening);
    rig.client.GatewayLogon();
    ASSERT_TRUE(waitUntil([&] { return rig.controls.Label7.visible(); }));

    EXPECT_TRUE(rig.client.state().gatewayLoggedIn);
    EXPECT_EQ(rig.controls.Label7.text(), "25");
    EXPECT_EQ(rig.client.state().gatewayApiId, "42");
    EXPECT_EQ(rig.controls.Label4.text(), "SMS Account : ops@example.com");
    ASSERT_EQ(simulator.requestLines().size(), 1);
    EXPECT_EQ(simulator.requestLines()[0].toStdString(),
              "GET /txgate/php/sms_logon.php?email=ops@example.com&pwd=p%26ss%3Dw%23rd%2B1%2A&now=" + kNow +
                  " HTTP/1.1");
}

TEST_F(GatewaySimTest, AnSmsGoesOutAsBuiltAndIsFollowedByACreditQuery) {
    rig.client.GatewayLogon();
    ASSERT_TRUE(waitUntil([&] { return rig.client.state().gatewayLoggedIn; }));

    const std::string text = "R&D web=down\r\nsince 07:05 (Z\xC3\xBCrich) +1*";
    EXPECT_EQ(rig.client.sendAlertSms("+441111111111", text), text);
    ASSERT_TRUE(waitUntil([&] { return rig.controls.Label7.text() == "24"; }));

    ASSERT_EQ(simulator.requestLines().size(), 3);
    EXPECT_EQ(simulator.requestLines()[1].toStdString(),
              "GET /txgate/php/smstoolsen.php?api_id=42&email=ops@example.com&pwd=p%26ss%3Dw%23rd%2B1%2A"
              "&to=+441111111111&from=" +
                  std::string(GatewayClient::kSenderNumber) + "&unicode=0&text=" + encodeQueryValue(text) +
                  " HTTP/1.1");
    EXPECT_EQ(simulator.requestLines()[2].toStdString(),
              "GET /txgate/php/creditupdate.php?email=ops@example.com&now=" + kNow + " HTTP/1.1");
    ASSERT_EQ(simulator.smsTexts().size(), 1);
    EXPECT_EQ(simulator.smsTexts()[0].toStdString(), text);
}

TEST_F(GatewaySimTest, AWrongPasswordIsRejected) {
    rig.settings.smsPassword = "guess";
    rig.client.GatewayLogon();
    ASSERT_TRUE(waitUntil([&] { return rig.controls.Label4.text() != "Connecting to Textora , Please wait ...."; }));
    EXPECT_EQ(rig.controls.Label4.text(), "Email OR Password Error for sending SMS !!");
    EXPECT_FALSE(rig.controls.Label7.visible());
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST_F(GatewaySimTest, ALogonThatCannotBeReadEndsTheProgramAfterItsBox) {
    const struct {
        const char* what;
        Misbehaviour misbehaviour;
    } cases[] = {
        {"malformed reply", Misbehaviour::MalformedLogon},
        {"silent gateway", Misbehaviour::NoReply},
        {"2 MiB reply", Misbehaviour::HugeReply},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        simulator.setMisbehaviour(c.misbehaviour);
        LiveRig live(simulator.baseUrl().toStdString(), {.silenceMs = 300});
        live.client.GatewayLogon();
        ASSERT_TRUE(waitUntil([&] { return !live.messages.shown.empty(); }));
        EXPECT_EQ(live.messages.shown[0], kFailureBox);
        EXPECT_EQ(live.controls.Label4.text(), "Textora Logon Error !! ");
        EXPECT_FALSE(live.window.ended);
        live.messages.clickOk();
        EXPECT_TRUE(live.window.ended);
    }
}

// A credit query that fails, or whose answer is no count, leaves the credit of the logon: alerts go on as SMS.
TEST_F(GatewaySimTest, ACreditAnswerThatIsNoCountKeepsTheCredit) {
    const struct {
        const char* what;
        QByteArray answer;
    } cases[] = {
        {"empty", ""},
        {"NUL bytes", QByteArray("\0\0", 2)},
        {"text", "Service busy"},
        {"refused", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        sim::GatewaySimulator gateway;
        ASSERT_TRUE(gateway.listen());
        gateway.answerCreditWith(c.answer);
        LiveRig live(gateway.baseUrl().toStdString());
        live.settings.smsPassword = "secret";
        live.settings.alertEnabled = 1;
        live.settings.smsPhone = "441111111111";
        live.settings.maxSms = "9";
        ASSERT_TRUE(live.loggedOn());
        if (c.answer.isNull()) { // the gateway goes away after the logon
            QTcpServer gone;
            gone.listen(QHostAddress::LocalHost, 0);
            live.client.setGatewayBase("http://127.0.0.1:" + std::to_string(gone.serverPort()));
        }
        ASSERT_TRUE(live.alerted("web down"));
        EXPECT_EQ(live.controls.Label7.text(), "25");
        ASSERT_TRUE(live.alerted("web still down"));
        EXPECT_EQ(live.port.logBox().line(0).substr(22), "Send SMS message [web still down]");
    }
}

// The account as typed, blanks and all: the logon, every SMS and the credit query carry it trimmed.
TEST_F(GatewaySimTest, AnAccountWithBlanksAroundItReachesTheGatewayTrimmed) {
    rig.settings.smsEmail = " ops@example.com  ";
    rig.settings.smsPassword = "  p&ss=w#rd+1* ";
    rig.settings.alertEnabled = 1;
    rig.settings.smsPhone = "441111111111";
    rig.settings.maxSms = "9";
    ASSERT_TRUE(rig.loggedOn());
    ASSERT_TRUE(rig.alerted("web down"));
    EXPECT_EQ(simulator.smsTexts(), QList<QByteArray>{"web down"});
    EXPECT_EQ(rig.controls.Label7.text(), "24");
}

} // namespace
} // namespace wardel
