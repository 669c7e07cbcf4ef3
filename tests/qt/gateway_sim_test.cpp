#include <gtest/gtest.h>

#include <QTcpServer>
#include <string>

#include "alerts/gateway_client.h"
#include "gateway_sim/gateway_simulator.h"
#include "platform/qt/qt_url_fetcher.h"
#include "support/qt_wait.h"
#include "support/test_rig.h"

namespace wardel {
namespace {

using sim::GatewaySimulator;
using sim::Misbehaviour;
using test::waitUntil;

const std::string kNow = "2026-12-06%2007:05:09"; // the fake clock's start, encoded
const std::string kFailureBox = "Connecting Error or Timeout !! Please check your network or try again";

// The gateway client on real URL readers over loopback; everything else on fakes.
struct LiveRig {
    explicit LiveRig(const std::string& base, qt::UrlReadLimits limits = {})
        : mainReader(limits), creditReader(limits),
          client(
              scheduler, mainReader, creditReader, messages, window, controls.Label4, controls.Label7, settings,
              runtime, [this] { unloaded = true; }, base) {
        settings.smsEmail = "ops@example.com";
        settings.smsPassword = "p&ss=w#rd+1*";
    }
    std::string targetOf(const std::string& url) const { return url.substr(client.gatewayBase().size()); }

    test::FakeScheduler scheduler;
    qt::QtUrlFetcher mainReader;
    qt::QtUrlFetcher creditReader;
    test::FakeMessageBox messages;
    test::FakeWindow window;
    AppSettings settings;
    RuntimeValues runtime;
    MainControls controls;
    GatewayClient client;
    bool unloaded = false;
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
    const std::string url =
        rig.client.BuildSmsUrl(0, rig.settings.smsEmail, rig.settings.smsPassword, rig.client.state().gatewayApiId,
                               GatewayClient::kSenderNumber, "+441111111111", text);
    rig.client.issueRequest(rig.client.AsyncRead1(), GatewayClient::kSmsKind, url);
    ASSERT_TRUE(waitUntil([&] { return rig.controls.Label7.text() == "24"; }));

    ASSERT_EQ(simulator.requestLines().size(), 3);
    EXPECT_EQ(simulator.requestLines()[1].toStdString(), "GET " + rig.targetOf(url) + " HTTP/1.1");
    EXPECT_EQ(simulator.requestLines()[2].toStdString(),
              "GET /txgate/php/creditupdate.php?email=ops@example.com&now=" + kNow + " HTTP/1.1");
    ASSERT_EQ(simulator.smsTexts().size(), 1);
    EXPECT_EQ(simulator.smsTexts()[0].toStdString(), text);
    EXPECT_EQ(rig.client.AsyncRead2().PropName(), "2getcredit");
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
        EXPECT_FALSE(live.unloaded);
        live.messages.clickOk();
        EXPECT_TRUE(live.unloaded);
    }
}

TEST(GatewayLoopback, ARefusedReadKeepsItsUrlInTheReader) {
    std::string closedBase;
    {
        QTcpServer gone;
        gone.listen(QHostAddress::LocalHost, 0);
        closedBase = "http://127.0.0.1:" + std::to_string(gone.serverPort());
    }
    LiveRig rig(closedBase);
    std::string seen;
    bool ended = false;
    rig.client.AsyncRead2().setAsyncReadComplete([&](const FetchResult& r) {
        ended = true;
        EXPECT_FALSE(r.ok);
        seen = rig.client.AsyncRead2().DataFromURL();
        rig.client.OnCreditReply(r);
    });
    rig.client.state().creditText = "25";
    const std::string url = closedBase + "/txgate/php/creditupdate.php?email=ops@example.com&now=" + kNow;
    rig.client.issueRequest(rig.client.AsyncRead2(), GatewayClient::kCreditKind, url);

    ASSERT_TRUE(waitUntil([&] { return ended; }));
    EXPECT_EQ(seen, url);
    EXPECT_EQ(rig.client.state().creditText, "25"); // a failed credit query leaves the credit shown
}

} // namespace
} // namespace wardel
