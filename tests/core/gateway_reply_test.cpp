#include <gtest/gtest.h>

#include <string>

#include "alerts/gateway_client.h"
#include "support/test_rig.h"

namespace wardel {
namespace {

const std::string kBase = "http://127.0.0.1:8080";
const std::string kFailureBox = "Connecting Error or Timeout !! Please check your network or try again";

class GatewayReplyTest : public testing::Test {
protected:
    GatewayReplyTest() {
        gateway.setGatewayBase(kBase);
        rig.settings.smsEmail = "ops@example.com";
        rig.settings.smsPassword = "s3cret";
        gateway.state().creditText = "9";
    }
    // Logs on and answers the logon with `reply` (or fails its download).
    void logonAnswered(const std::string& reply, bool ok = true) {
        gateway.GatewayLogon();
        rig.mainReader.finish("logon1", ok, reply);
        rig.scheduler.runPending();
    }
    void alertSms() { gateway.sendAlertSms("+441111111111", "web down"); }
    std::vector<std::string> creditTags() const {
        std::vector<std::string> tags;
        for (const auto& request : rig.creditReader.requests)
            tags.push_back(request.name);
        return tags;
    }

    test::TestRig rig;
    GatewayClient& gateway = rig.port.gateway();
    MainControls& controls = rig.controls;
};

TEST_F(GatewayReplyTest, AcceptedLogonRepliesGiveCreditAndApiId) {
    const struct {
        std::string reply;
        std::string credit;
        std::string apiId;
    } cases[] = {
        {"x*25*ab42%y", "25", "42"},
        {"**ab%", "", ""},
        {"OK*7*ok%rest*with%more", "7", ""},
        {"*1000*--abc-9%%", "1000", "abc-9"},
    };
    for (const auto& c : cases) {
        test::TestRig fresh;
        GatewayClient& g = fresh.port.gateway();
        g.setGatewayBase(kBase);
        fresh.settings.smsEmail = " ops@example.com"; // the label shows the setting as stored
        fresh.settings.smsPassword = "s3cret";
        g.GatewayLogon();
        fresh.mainReader.finish("logon1", true, c.reply);
        fresh.scheduler.runPending();

        SCOPED_TRACE(c.reply);
        EXPECT_TRUE(g.state().gatewayLoggedIn);
        EXPECT_EQ(g.state().creditText, c.credit);
        EXPECT_EQ(g.state().gatewayApiId, c.apiId);
        EXPECT_TRUE(fresh.controls.Label7.visible());
        EXPECT_EQ(fresh.controls.Label7.text(), c.credit);
        EXPECT_EQ(fresh.controls.Label4.text(), "SMS Account :  ops@example.com");
        EXPECT_FALSE(g.state().setupLinkActive);
        EXPECT_TRUE(fresh.messages.shown.empty());
        EXPECT_TRUE(fresh.creditReader.requests.empty()); // the logon reply asks for no credit
    }
}

TEST_F(GatewayReplyTest, RejectedLogonHidesTheCreditAndKeepsTheLink) {
    logonAnswered("-Wrong password*25*ab42%");
    EXPECT_FALSE(gateway.state().gatewayLoggedIn);
    EXPECT_EQ(controls.Label4.text(), "Email OR Password Error for sending SMS !!");
    EXPECT_EQ(gateway.state().creditText, "0");
    EXPECT_FALSE(controls.Label7.visible());
    EXPECT_TRUE(gateway.state().setupLinkActive);
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST_F(GatewayReplyTest, RejectedAfterAcceptedLeavesTheLinkInactive) {
    logonAnswered("*25*ab42%");
    logonAnswered("-no");
    EXPECT_FALSE(gateway.state().gatewayLoggedIn);
    EXPECT_EQ(controls.Label7.text(), "0");
    EXPECT_FALSE(controls.Label7.visible());
    EXPECT_FALSE(gateway.state().setupLinkActive);
}

TEST_F(GatewayReplyTest, UnreadableLogonReplyShowsTheBoxThenEndsTheProgram) {
    const struct {
        std::string reply;
        bool ok;
    } cases[] = {
        {"", true},         {"*", true}, {"credit*25", true}, {"a*1*b%", true}, // "%" among the skipped characters
        {"*25*ab42", true}, {"", false}, // a failed download: the reader still holds the logon URL
    };
    for (const auto& c : cases) {
        test::TestRig fresh;
        GatewayClient& g = fresh.port.gateway();
        g.setGatewayBase(kBase);
        fresh.settings.smsEmail = "ops@example.com";
        fresh.settings.smsPassword = "s3cret";
        g.GatewayLogon();
        g.state().lastRequestWasMail = true;
        fresh.mainReader.finish("logon1", c.ok, c.reply);
        fresh.scheduler.runPending();

        SCOPED_TRACE(testing::PrintToString(c.reply) + (c.ok ? "" : " failed"));
        EXPECT_EQ(fresh.controls.Label4.text(), "Textora Logon Error !! ");
        EXPECT_EQ(fresh.messages.shown, std::vector<std::string>{kFailureBox});
        EXPECT_FALSE(fresh.window.ended); // the program waits for the operator
        EXPECT_TRUE(g.state().gatewayLoggedIn);

        fresh.messages.clickOk();
        EXPECT_FALSE(g.state().lastRequestWasMail);
        EXPECT_TRUE(fresh.window.ended);
        EXPECT_EQ(fresh.logLines().front().substr(22), "Wardel Program Ended");
    }
}

TEST_F(GatewayReplyTest, AFailedLogonReadEndsTheProgramWhateverTheReaderHolds) {
    for (const bool replyBetween : {false, true}) {
        test::TestRig fresh;
        GatewayClient& g = fresh.port.gateway();
        g.setGatewayBase(kBase);
        // Stars in the account used to make the logon URL itself read as an accepted reply.
        fresh.settings.smsEmail = "ops*1@example.com";
        fresh.settings.smsPassword = "s3*cret";
        g.state().creditText = "9";
        g.GatewayLogon();
        if (replyBetween) { // another read on the main reader ends first, leaving its reply in the store
            g.sendAlertSms("+441111111111", "web down");
            fresh.mainReader.finish("1sendsms", true, "OK*24*ab42%");
            fresh.scheduler.runPending();
        }
        fresh.mainReader.finish("logon1", false, "");
        fresh.scheduler.runPending();

        SCOPED_TRACE(replyBetween ? "reply in between" : "starred account");
        EXPECT_EQ(fresh.controls.Label4.text(), "Textora Logon Error !! ");
        EXPECT_EQ(fresh.messages.shown, std::vector<std::string>{kFailureBox});
        EXPECT_FALSE(fresh.controls.Label7.visible());
        EXPECT_EQ(g.state().gatewayApiId, "");
    }
}

TEST_F(GatewayReplyTest, CreditRepliesAreTrimmedNumbersAnythingElseKeepsTheCredit) {
    logonAnswered("*25*ab42%");
    const struct {
        std::string reply;
        bool ok;
        std::string credit;
    } cases[] = {
        {" 42  ", true, "42"},
        {"41", true, "41"},
        {"HtTp error 500", true, "41"},
        {"see https://x", true, "41"},
        {"ignored", false, "41"}, // a failed query still holds its URL
        {"", true, "41"},
        {"  \r\n", true, "41"},
        {std::string("\0\0", 2), true, "41"},
        {"Service busy", true, "41"},
        {"7 left", true, "41"},
        {"+12.5", true, "+12.5"},
        {"-3", true, "-3"}, // last: no SMS goes out without credit
    };
    for (const auto& c : cases) {
        alertSms();
        rig.mainReader.finish(rig.mainReader.requests.back().name, true, "OK");
        rig.scheduler.runPending();
        rig.creditReader.finish(rig.creditReader.requests.back().name, c.ok, c.reply);
        rig.scheduler.runPending();
        EXPECT_EQ(gateway.state().creditText, c.credit) << testing::PrintToString(c.reply);
        EXPECT_EQ(controls.Label7.text(), c.credit) << testing::PrintToString(c.reply);
        EXPECT_TRUE(controls.Label7.visible());
    }
}

TEST_F(GatewayReplyTest, TagsCountEveryRequestButTheLogon) {
    logonAnswered("*25*ab42%");
    alertSms();                                   // 1sendsms
    rig.mainReader.finish("1sendsms", false, ""); // a failed SMS is answered like a reply: 2getcredit
    rig.scheduler.runPending();
    gateway.sendAliveMail("boss@example.com", "UP", "s"); // 3sendmail1
    rig.mainReader.finish("3sendmail1", true, "OK");      // no credit query after a mail
    rig.scheduler.runPending();
    gateway.sendAliveSms("+441111111111", "UP");    // 4sendsms1
    rig.mainReader.finish("4sendsms1", true, "OK"); // 5getcredit
    rig.scheduler.runPending();
    gateway.GatewayLogon(); // a later logon keeps the count

    std::vector<std::string> mainTags;
    for (const auto& request : rig.mainReader.requests)
        mainTags.push_back(request.name);
    EXPECT_EQ(mainTags, (std::vector<std::string>{"logon1", "1sendsms", "3sendmail1", "4sendsms1", "logon1"}));
    EXPECT_EQ(creditTags(), (std::vector<std::string>{"2getcredit", "5getcredit"}));
    EXPECT_EQ(gateway.state().requestSeq, 5);
}

TEST_F(GatewayReplyTest, SmsBuiltAfterAMailMakesBothRepliesAskForCredit) {
    gateway.sendAliveMail("boss@example.com", "UP", "s"); // 1sendmail1
    alertSms();                                           // 2sendsms
    rig.mainReader.finish("1sendmail1", true, "mail OK");
    rig.scheduler.runPending();
    rig.mainReader.finish("2sendsms", true, "sms OK");
    rig.scheduler.runPending();
    EXPECT_EQ(creditTags(), (std::vector<std::string>{"3getcredit", "4getcredit"}));
    EXPECT_FALSE(gateway.state().lastRequestWasMail);
}

TEST_F(GatewayReplyTest, RequestSeqStaysAtItsLargestValue) {
    gateway.state().requestSeq = 2147483646;
    alertSms();
    alertSms();
    EXPECT_EQ(rig.mainReader.requests[0].name, "2147483647sendsms");
    EXPECT_EQ(rig.mainReader.requests[1].name, "2147483647sendsms");
}

} // namespace
} // namespace wardel
