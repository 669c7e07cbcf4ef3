#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "alerts/alive_notice.h"
#include "settings/settings_file.h"
#include "support/query_values.h"
#include "support/settings_builders.h"
#include "support/test_rig.h"

namespace wardel {
namespace {

constexpr std::int64_t kMinute = 60000;
const std::string kUp = " Wardel program is UP and RUNNING !! ";

// The main window on the fake platform with the notice on, logged on to the gateway.
struct NoticeRig : test::TestRig {
    explicit NoticeRig(LocalDateTime start = {2026, 12, 6, 7, 5, 9}) : TestRig(start) {
        settings = test::settingsWithAlertsOn();
        port.gateway().state().gatewayLoggedIn = true;
        port.gateway().state().gatewayApiId = "42";
        port.gateway().state().creditText = "25";
        restartAliveCountdowns(settings, runtime);
    }
    // Minute ticks until the next request goes out (0 when none within `limit`), and its tag.
    std::pair<int, std::string> ticksToNextRequest(int limit) {
        const std::size_t before = mainReader.requests.size();
        for (int tick = 1; tick <= limit; ++tick) {
            scheduler.advance(kMinute);
            if (mainReader.requests.size() > before)
                return {tick, mainReader.requests[before].name};
        }
        return {0, ""};
    }
    const std::string& lastUrl() const { return mainReader.requests.back().url; }
};

TEST(AliveNotice, MailOnEvery60thMinuteAndSmsOnThe720th) {
    NoticeRig rig;
    std::vector<std::string> seen;
    for (int minute = 1; minute <= 720; ++minute) {
        const std::size_t before = rig.mainReader.requests.size();
        rig.scheduler.advance(kMinute);
        for (std::size_t i = before; i < rig.mainReader.requests.size(); ++i)
            seen.push_back(std::to_string(minute) + " " + rig.mainReader.requests[i].name);
    }
    std::vector<std::string> expected;
    for (int n = 1; n <= 12; ++n)
        expected.push_back(std::to_string(60 * n) + " " + std::to_string(n) + "sendmail1");
    expected.push_back("720 13sendsms1");
    EXPECT_EQ(seen, expected);
}

TEST(AliveNotice, PeriodsAsTheMinuteTaskReloadsThem) {
    const struct {
        std::string minutes;
        int firstTick;
    } cases[] = {
        {"1", 1}, {"0", 1}, {"", 1}, {"abc", 1}, {"-5", 1}, {"2.5", 2}, {"3.5", 4}, {"40000", 32767}, {"1e9", 32767},
    };
    for (const auto& c : cases) {
        NoticeRig rig;
        rig.settings.aliveSmsTo = "";
        rig.settings.aliveMailMinutes = c.minutes;
        rig.runtime.aliveMailCountdown = 0;
        EXPECT_EQ(rig.ticksToNextRequest(40000).first, c.firstTick) << '"' << c.minutes << '"';
    }
}

TEST(AliveNotice, ASaveRestartsTheCountdownsFromTheNewPeriods) {
    const struct {
        std::string minutes;
        int nextMail; // ticks after the save; 50 were left of the old countdown
    } cases[] = {{"30", 30}, {"2.5", 2}, {"", 1}, {"40000", 50}};
    for (const auto& c : cases) {
        NoticeRig rig;
        rig.settings.aliveSmsTo = "";
        rig.scheduler.advance(10 * kMinute);
        rig.settings.aliveMailMinutes = c.minutes;
        restartAliveCountdowns(rig.settings, rig.runtime);
        EXPECT_EQ(rig.ticksToNextRequest(100).first, c.nextMail) << '"' << c.minutes << '"';
    }
}

TEST(AliveNotice, NotLoggedOnOneLineAMinuteAtTheEndOfTheBoxAndNoneInTheFile) {
    NoticeRig rig;
    rig.settings.logEnabled = 1;
    rig.port.gateway().state().gatewayLoggedIn = false;
    rig.log.WriteLog("earlier");
    rig.scheduler.advance(3 * kMinute);

    const std::string logged = "2026-12-06 07:05:09 - earlier";
    EXPECT_EQ(rig.logLines(), (std::vector<std::string>{
                                  logged,
                                  "Not login, message [2026-12-06 07:06:09" + kUp + "] can not be delivered",
                                  "Not login, message [2026-12-06 07:07:09" + kUp + "] can not be delivered",
                                  "Not login, message [2026-12-06 07:08:09" + kUp + "] can not be delivered",
                              }));
    EXPECT_EQ(test::readFile(rig.log.fileFor(rig.scheduler.now())), logged + "\r\n");
    EXPECT_TRUE(rig.mainReader.requests.empty());
}

TEST(AliveNotice, TheMailCarriesTheLogAndTheStatusLine) {
    NoticeRig rig;
    rig.log.WriteLog("Monitoring Started");
    rig.controls.Label2.setText("Current status : now 07:05:09 waiting 60 seconds for next start");
    rig.port.sch_Notify(true, false);

    ASSERT_EQ(rig.mainReader.requests.size(), 1u);
    EXPECT_EQ(rig.mainReader.requests[0].name, "1sendmail1");
    EXPECT_EQ(test::queryPath(rig.lastUrl()), "/txgate/php/mail_alert1.php");
    EXPECT_EQ(test::queryValue(rig.lastUrl(), "email_list"), "boss@example.com");
    EXPECT_EQ(test::queryValue(rig.lastUrl(), "subject"), "2026-12-06 07:05:09" + kUp + "\r\n");
    EXPECT_EQ(test::queryValue(rig.lastUrl(), "text"),
              "<html><body> Good Day !! <br><br>Now is 2026-12-06 07:05:09<br><br> Wardel program is UP and "
              "RUNNING<br><br>Account : ops@example.com SMS credits 25 left<br><br> Status Log : <br>"
              "2026-12-06 07:05:09 - Monitoring Started<br><br>"
              "Current status : now 07:05:09 waiting 60 seconds for next start<br><br>Textora</body></html>");
    EXPECT_EQ(rig.logLines().size(), 1u); // the mail writes no line
}

TEST(AliveNotice, TheMailUrlStaysWithin8000BytesWithTheNewestLinesOfAFullBox) {
    NoticeRig rig;
    for (std::size_t i = 0; i < LogBox::kMaxLines; ++i)
        rig.logBox.prepend("2026-12-06 07:05:09 - Alert for web" + std::to_string(i) + " 80 Down(07:05:09)");
    rig.port.sch_Notify(true, false);

    ASSERT_EQ(rig.mainReader.requests.size(), 1u);
    const std::string& url = rig.lastUrl();
    EXPECT_LE(url.size(), GatewayClient::kMaxMailUrlBytes);
    EXPECT_GT(url.size(), GatewayClient::kMaxMailUrlBytes - 100); // one more line would not have fitted
    const std::string text = test::queryValue(url, "text");
    const std::string start = "Status Log : <br>", end = "<br><br>Textora";
    std::string log = text.substr(text.find(start) + start.size());
    log.erase(log.rfind(end));
    std::vector<std::string> lines; // every box line ends with "<br>", and "<br>" leads Label2's caption
    for (std::size_t at = 0, next; (next = log.find("<br>", at)) != std::string::npos; at = next + 4)
        lines.push_back(log.substr(at, next - at));
    ASSERT_EQ(lines.back(), "");
    lines.pop_back();
    ASSERT_GT(lines.size(), 10u);
    for (std::size_t i = 0; i < lines.size(); ++i)
        ASSERT_EQ(lines[i], rig.logBox.line(i));
}

TEST(AliveNotice, TheSmsIsTheTimeTheNoticeAndTheCreditCutToOneSms) {
    const struct {
        std::string credit;
        std::string sent; // empty: none
        std::string logged;
    } cases[] = {
        {"25", "2026-12-06 07:05:09" + kUp + "\r\n SMS Credits left : 25", ""},
        {std::string(150, '9'), "2026-12-06 07:05:09" + kUp + "\r\n SMS Credits left : " + std::string(82, '9'), ""},
        {"0", "", "No SMS Credits !!"},
    };
    for (const auto& c : cases) {
        NoticeRig rig;
        rig.port.gateway().state().creditText = c.credit;
        rig.port.sch_Notify(true, true);

        ASSERT_FALSE(rig.mainReader.requests.empty());
        EXPECT_EQ(rig.mainReader.requests[0].name, "1sendmail1"); // the mail goes out whatever the credit
        if (c.sent.empty()) {
            EXPECT_EQ(rig.mainReader.requests.size(), 1u);
            EXPECT_EQ(rig.logLines().front().substr(22), c.logged);
            continue;
        }
        ASSERT_EQ(rig.mainReader.requests.size(), 2u);
        EXPECT_EQ(rig.mainReader.requests[1].name, "2sendsms1");
        EXPECT_EQ(test::queryPath(rig.lastUrl()), "/txgate/php/smstoolsen.php");
        EXPECT_EQ(test::queryValue(rig.lastUrl(), "to"), "441111111111");
        EXPECT_EQ(test::queryValue(rig.lastUrl(), "text"), c.sent);
        EXPECT_EQ(rig.logLines().front().substr(22), "Send SMS message [" + c.sent + "]");
    }
}

class RecordingCaption : public SmsTodayCaption {
public:
    void setSmsTodayCaption(const std::string& caption) override { captions.push_back(caption); }
    std::vector<std::string> captions;
};

TEST(AliveNotice, TheMidnightCheckClearsTheCountOncePerDate) {
    // The check runs every 35 s. From 23:59:15: 23:59:50, 00:00:25, 00:01:00, one tick in minute 00:00. From
    // 23:59:45: 00:00:20, 00:00:55, 00:01:30, two ticks there, and the second keeps the SMS sent since the first.
    const struct {
        LocalDateTime start;
        std::int16_t expected[3];
    } cases[] = {{{2026, 12, 31, 23, 59, 15}, {7, 0, 7}}, {{2026, 12, 31, 23, 59, 45}, {0, 7, 7}}};
    for (const auto& c : cases) {
        test::TestRig rig(c.start);
        auto timer4 = rig.scheduler.createTimer(35000, true);
        auto timer5 = rig.scheduler.createTimer(60000, false);
        AppSettings settings;
        RuntimeValues runtime;
        RecordingCaption caption;
        AliveNotice notice(rig.scheduler, {*timer4, *timer5}, settings, runtime, rig.port.gateway(), rig.logBox,
                           rig.controls.Label2, caption);
        for (const std::int16_t count : c.expected) {
            runtime.smsSentToday = 7;
            rig.scheduler.advance(35000);
            EXPECT_EQ(runtime.smsSentToday, count) << c.start.second;
        }
        EXPECT_EQ(caption.captions, std::vector<std::string>{"SMS Sent Today : 0"});
    }
}

} // namespace
} // namespace wardel
