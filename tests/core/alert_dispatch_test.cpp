#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "alerts/alert_dispatch.h"
#include "support/query_values.h"
#include "support/settings_builders.h"
#include "support/test_rig.h"

namespace wardel {
namespace {

using Lines = std::vector<std::string>;

// The dispatch of the main window on the fake platform, logged on with credit.
struct DispatchRig : test::TestRig {
    DispatchRig() {
        settings = test::settingsWithAlertsOn();
        settings.smsPhone = "441111111111,442222222222";
        settings.maxSms = "3";
        port.gateway().state().gatewayLoggedIn = true;
        port.gateway().state().gatewayApiId = "42";
        port.gateway().state().creditText = "10";
    }
    void Alert(const std::string& text) {
        port.alerts().SendAlert(wardel::Alert{AlertKind::BackToAlive, text, "web", "80", "web server", {}});
    }
    // Every request issued, as "<tag> <path> <to or email_list> [<text>]", the values decoded.
    Lines Requests() const {
        Lines seen;
        for (const auto& r : mainReader.requests) {
            const bool sms = test::queryPath(r.url) == "/txgate/php/smstoolsen.php";
            seen.push_back(r.name + " " + test::queryPath(r.url) + " " +
                           test::queryValue(r.url, sms ? "to" : "email_list") + " [" + test::queryValue(r.url, "text") +
                           "]");
        }
        return seen;
    }
    // The log's messages, oldest first, without their time stamps.
    Lines logged() const {
        Lines messages;
        const auto lines = logLines();
        for (auto line = lines.rbegin(); line != lines.rend(); ++line)
            messages.push_back(line->substr(22));
        return messages;
    }
};

const std::string kSms = " /txgate/php/smstoolsen.php 441111111111,442222222222 [";
const std::string kMail = " /txgate/php/mail_alert.php boss@example.com [";

TEST(AlertDispatch, CreditAndDailyCapChooseBetweenSmsMailAndNothing) {
    const struct {
        const char* what;
        std::int16_t alertEnabled;
        std::string maxSms;
        std::string credit;
        std::string mailList;
        std::int16_t sentBefore;
        int alerts;
        Lines requests;
        Lines logged;
        std::int16_t sentAfter;
    } cases[] = {
        {"cap 3",
         1,
         "3",
         "10",
         "boss@example.com",
         0,
         4,
         {"1sendsms" + kSms + "a1]", "2sendsms" + kSms + "a2]", "3sendsms" + kSms + "a3 Today SMS:3/3]",
          "4sendsms" + kMail + "a4]"},
         {"Send SMS message [a1]", "Send SMS message [a2]", "Send SMS message [a3 Today SMS:3/3]",
          "No SMS send ..up to the limit 3 a day", "Mail Alert Send to boss@example.com"},
         3},
        {"cap read as a real number, never reached exactly",
         1,
         "2.5",
         "10",
         "boss@example.com",
         0,
         4,
         {"1sendsms" + kSms + "a1]", "2sendsms" + kSms + "a2]", "3sendsms" + kSms + "a3]", "4sendsms" + kMail + "a4]"},
         {"Send SMS message [a1]", "Send SMS message [a2]", "Send SMS message [a3]",
          "No SMS send ..up to the limit 2.5 a day", "Mail Alert Send to boss@example.com"},
         3},
        {"no credit, below the cap", 1, "3", "0", "boss@example.com", 1, 1, {}, {"No SMS Credits !!"}, 1},
        {"no credit, capped", 1, "3", " 0.5 ", "boss@example.com", 3, 1, {}, {"No SMS Credits !!"}, 3},
        {"credit text without a number", 1, "3", "n/a", "boss@example.com", 0, 1, {}, {"No SMS Credits !!"}, 0},
        {"capped without a mail list", 1, "", "10", "  ", 0, 1, {}, {"No SMS send ..up to the limit  a day"}, 0},
        {"alerts off", 0, "3", "10", "boss@example.com", 0, 2, {}, {}, 0},
        {"alerts switch neither 0 nor 1", 2, "3", "10", "boss@example.com", 0, 1, {}, {}, 0},
        {"counter at its ceiling",
         1,
         "40000",
         "1.5",
         "",
         32767,
         1,
         {"1sendsms" + kSms + "a1]"},
         {"Send SMS message [a1]"},
         32767},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DispatchRig rig;
        rig.settings.alertEnabled = c.alertEnabled;
        rig.settings.maxSms = c.maxSms;
        rig.settings.mailList = c.mailList;
        rig.port.gateway().state().creditText = c.credit;
        rig.runtime.smsSentToday = c.sentBefore;
        for (int i = 1; i <= c.alerts; ++i)
            rig.Alert("a" + std::to_string(i));
        EXPECT_EQ(rig.Requests(), c.requests);
        EXPECT_EQ(rig.logged(), c.logged);
        EXPECT_EQ(rig.runtime.smsSentToday, c.sentAfter);
    }
}

TEST(AlertDispatch, AnSmsKeepsItsFirst160CharactersWholeAndTheMailFallbackTheWholeText) {
    DispatchRig rig;
    const std::string x158(158, 'x'), x159(159, 'x'), x160(160, 'x');
    const std::string e = "\xC3\xA9", euro = "\xE2\x82\xAC", smile = "\xF0\x9F\x98\x80";
    const struct {
        std::string maxSms;
        std::string alert;
        std::string sent;
    } cases[] = {
        {"9", std::string(200, 'x'), x160},
        {"9", x159 + e + "yy", x159 + e},
        {"9", x160 + e, x160},
        {"9", x158 + smile + euro + "z", x158 + smile + euro},
        {"9", x158 + e + e, x158 + e + e},
        {"1", std::string(150, 'x'), std::string(150, 'x') + " Today SMS"},
    };
    for (const auto& c : cases) {
        rig.mainReader.requests.clear();
        rig.runtime.smsSentToday = 0;
        rig.settings.maxSms = c.maxSms;
        rig.Alert(c.alert);
        ASSERT_EQ(rig.mainReader.requests.size(), 1u);
        EXPECT_EQ(test::queryValue(rig.mainReader.requests[0].url, "text"), c.sent);
        EXPECT_EQ(rig.logged().back(), "Send SMS message [" + c.sent + "]");
    }
    const std::string full = x159 + e + std::string(40, 'y');
    rig.Alert(full); // capped at 1
    EXPECT_EQ(test::queryPath(rig.mainReader.requests.back().url), "/txgate/php/mail_alert.php");
    EXPECT_EQ(test::queryValue(rig.mainReader.requests.back().url, "text"), full);
}

// A mail keeps within the size of a mail request by cutting its description's end; the alert's own words
// around the description stay. A request the reader cannot send is logged as an error, never as sent.
TEST(AlertDispatch, AMailAlertKeepsWithinItsRequestAndARequestThatCannotGoOutIsLoggedAsAnError) {
    const std::string longer = "web " + std::string(20000, 'x') + "\xC3\xA9";
    const struct {
        std::int16_t sentBefore;
        std::string description;
        bool refuse;
        std::string logged;
    } cases[] = {
        {0, "web", true, "Send SMS message Error [Alert for h 80 ALIVE(1) web Back to Alive]"},
        {3, "web", true, "Mail Alert Send Error to boss@example.com"},
        {3, longer, false, "Mail Alert Send to boss@example.com"},
    };
    for (const auto& c : cases) {
        DispatchRig rig;
        rig.mainReader.refuse = c.refuse;
        rig.runtime.smsSentToday = c.sentBefore;
        const std::string message = "Alert for h 80 ALIVE(1) " + c.description + " Back to Alive";
        rig.port.alerts().SendAlert(wardel::Alert{AlertKind::BackToAlive, message, "h", "80", c.description, {}});
        EXPECT_EQ(rig.logged().back(), c.logged);
        const std::string url = rig.mainReader.requests.at(0).url;
        const std::string text = test::queryValue(url, "text");
        EXPECT_LE(url.size(), GatewayClient::kMaxMailUrlBytes);
        EXPECT_EQ(text, c.refuse ? message : message.substr(0, text.size() - 17) + "\xE2\x80\xA6 Back to Alive");
    }
}

} // namespace
} // namespace wardel
