#include <gtest/gtest.h>

#include <string>

#include "alerts/gateway_client.h"
#include "alerts/url_encoding.h"
#include "support/test_rig.h"

namespace wardel {
namespace {

const std::string kBase = "http://127.0.0.1:8080";
const std::string kNow = "2026-12-06%2007:05:09"; // the rig's clock

TEST(EncodeQueryValue, EncodesOnlyWhatWouldChangeTheRequest) {
    const struct {
        std::string value;
        std::string encoded;
    } cases[] = {
        {"", ""},
        {"ops@example.com", "ops@example.com"},
        {"+441111111111,+442222222222", "%2B441111111111,%2B442222222222"},
        {"web1:80 (down)*", "web1:80%20(down)%2A"},
        {"R&D web", "R%26D%20web"},
        {"a=b", "a%3Db"},
        {"line1\r\nline2\tend", "line1%0D%0Aline2%09end"},
        {"Z\xC3\xBCrich", "Z%C3%BCrich"},
        {"100%", "100%25"},
        {"pw#1", "pw%231"},
        {"\"<>[\\]^`{|}", "%22%3C%3E%5B%5C%5D%5E%60%7B%7C%7D"},
        {std::string("\x00\x1F\x7F", 3), "%00%1F%7F"},
        {"a/b?c;d$e!f'g~h-i_j.k", "a/b?c;d$e!f'g~h-i_j.k"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(encodeQueryValue(c.value), c.encoded) << testing::PrintToString(c.value);
    // SMS recipients keep the "+" of their numbers, as the gateway has always received them.
    EXPECT_EQ(encodeRecipientNumbers("+441111111111, +44*2"), "+441111111111,%20+44%2A2");
}

class GatewayUrlTest : public testing::Test {
protected:
    GatewayUrlTest() {
        gateway.setGatewayBase(kBase);
        rig.settings.smsEmail = "ops@example.com";
        rig.settings.smsPassword = "s3cret";
        rig.settings.mailList = "a@example.com,b@example.com";
        gateway.state().gatewayApiId = "42";
        gateway.state().creditText = "5";
    }
    const std::string& lastUrl() const { return rig.mainReader.requests.back().url; }
    test::TestRig rig;
    GatewayClient& gateway = rig.port.gateway();
};

TEST_F(GatewayUrlTest, LogonTakesTheTrimmedAccountAndKeepsRequestSeq) {
    rig.settings.smsEmail = "  ops@example.com ";
    rig.settings.smsPassword = " s3cret  ";
    gateway.GatewayLogon();

    ASSERT_EQ(rig.mainReader.requests.size(), 1u);
    EXPECT_EQ(rig.mainReader.requests[0].name, "logon1");
    EXPECT_EQ(rig.mainReader.requests[0].url,
              kBase + "/txgate/php/sms_logon.php?email=ops@example.com&pwd=s3cret&now=" + kNow);
    EXPECT_EQ(rig.controls.Label4.text(), "Connecting to Textora , Please wait ....");
    EXPECT_TRUE(rig.window.isVisible);
    EXPECT_EQ(gateway.state().requestSeq, 0);
}

TEST_F(GatewayUrlTest, LogonWithoutBothAccountFieldsSendsNothing) {
    for (const auto& [email, password] : {std::pair{"", "pw"}, {"ops@example.com", "   "}, {" ", ""}}) {
        rig.settings.smsEmail = email;
        rig.settings.smsPassword = password;
        gateway.GatewayLogon();
        EXPECT_EQ(rig.controls.Label4.text(), "Email OR Password is Empty !! Click HERE to set up");
    }
    EXPECT_TRUE(rig.mainReader.requests.empty());
    EXPECT_TRUE(rig.window.isVisible);
}

TEST_F(GatewayUrlTest, SmsUrlsCarryTheMailListOnlyWhenAskedAndOnlyForAlerts) {
    const std::string sms = kBase + "/txgate/php/smstoolsen.php?api_id=42&email=ops@example.com&pwd=s3cret"
                                    "&to=+441111111111,+442222222222&from=441234567890&unicode=0&text=web1:80%20down";
    const std::string to = "+441111111111,+442222222222";

    gateway.sendAlertSms(to, "web1:80 down");
    EXPECT_EQ(lastUrl(), sms);
    rig.runtime.mailListWithSms = 1;
    gateway.sendAlertSms(to, "web1:80 down");
    EXPECT_EQ(lastUrl(), sms + "&email_list=a@example.com,b@example.com");
    gateway.sendAliveSms(to, "web1:80 down");
    EXPECT_EQ(lastUrl(), sms);
}

TEST_F(GatewayUrlTest, ValuesThatWouldCutOrSplitTheRequestAreEncoded) {
    gateway.sendMailAlert("a@example.com", "Caf\xC3\xA9 down");
    EXPECT_EQ(lastUrl(), kBase + "/txgate/php/mail_alert.php?email=ops@example.com&pwd=s3cret&email_list=a@example.com"
                                 "&text=Caf%C3%A9%20down");
    rig.settings.smsEmail = "ops+1@example.com";
    rig.settings.smsPassword = "p&w=#+*";
    gateway.sendAlertSms("+441111111111", "R&D web=down\r\nsince 12:00 +1*");
    EXPECT_EQ(lastUrl(), kBase + "/txgate/php/smstoolsen.php?api_id=42&email=ops%2B1@example.com&pwd=p%26w%3D%23%2B%2A"
                                 "&to=+441111111111&from=441234567890&unicode=0"
                                 "&text=R%26D%20web%3Ddown%0D%0Asince%2012:00%20%2B1%2A");
}

TEST_F(GatewayUrlTest, GatewayMailTurnsTextLineEndsIntoBreaksButKeepsTheSubjects) {
    rig.runtime.mailListWithSms = 1; // no influence on mail
    EXPECT_EQ(gateway.sendAliveMail("boss@example.com", "log\r\nline2\r\n\nend", "UP\r\n"), "log<br>line2<br>\nend");
    EXPECT_TRUE(gateway.state().lastRequestWasMail);
    ASSERT_EQ(rig.mainReader.requests.size(), 1u);
    EXPECT_EQ(rig.mainReader.requests[0].name, "1sendmail1");
    EXPECT_EQ(rig.mainReader.requests[0].url,
              kBase + "/txgate/php/mail_alert1.php?email=ops@example.com&pwd=s3cret&email_list=boss@example.com"
                      "&subject=UP%0D%0A&text=log%3Cbr%3Eline2%3Cbr%3E%0Aend");
}

TEST_F(GatewayUrlTest, CreditQueryFollowsAnSmsReply) {
    gateway.sendAlertSms("+441111111111", "web down");
    rig.mainReader.finish("1sendsms", true, "OK");
    rig.scheduler.runPending();
    ASSERT_EQ(rig.creditReader.requests.size(), 1u);
    EXPECT_EQ(rig.creditReader.requests[0].name, "2getcredit");
    EXPECT_EQ(rig.creditReader.requests[0].url,
              kBase + "/txgate/php/creditupdate.php?email=ops@example.com&now=" + kNow);
}

TEST_F(GatewayUrlTest, EveryRequestTakesTheAccountWithoutItsSurroundingBlanks) {
    rig.settings.smsEmail = "  ops@example.com ";
    rig.settings.smsPassword = " s3cret  ";
    gateway.GatewayLogon();
    gateway.sendAliveMail("boss@example.com", "UP", "UP");
    gateway.sendAlertSms("+441111111111", "down");
    gateway.sendMailAlert("boss@example.com", "down");
    gateway.sendAliveSms("+441111111111", "UP");
    rig.mainReader.finish("2sendsms", true, "OK");
    rig.scheduler.runPending();

    auto requests = rig.mainReader.requests;
    requests.insert(requests.end(), rig.creditReader.requests.begin(), rig.creditReader.requests.end());
    ASSERT_EQ(requests.size(), 6u);
    for (const auto& request : requests) {
        SCOPED_TRACE(request.name);
        EXPECT_NE(request.url.find("email=ops@example.com&"), std::string::npos);
        const bool credit = request.name == "5getcredit";
        EXPECT_EQ(request.url.find("&pwd=s3cret&") != std::string::npos, !credit);
    }
}

} // namespace
} // namespace wardel
