// The Alertmanager sink on the real URL reader against a loopback stub of Alertmanager's API; time is a
// fake, so the 60-second rounds come when the test says.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "alerts/alertmanager_sink.h"
#include "platform/qt/qt_url_fetcher.h"
#include "support/fake_scheduler.h"
#include "support/http_post_collector.h"
#include "support/qt_wait.h"
#include "support/test_rig.h"

namespace wardel::test {
namespace {

// Keeps the alerts posted to the stub, as "<host> firing|ended <summary>".
std::vector<std::string> alertsIn(const std::vector<QByteArray>& bodies) {
    std::vector<std::string> seen;
    for (const QByteArray& body : bodies) {
        for (const QJsonValue a : QJsonDocument::fromJson(body).array()) {
            const QJsonObject alert = a.toObject();
            const QJsonObject labels = alert["labels"].toObject();
            EXPECT_EQ(labels["alertname"].toString(), QStringLiteral("WardelTargetDown"));
            EXPECT_EQ(labels["severity"].toString(), QStringLiteral("critical"));
            EXPECT_EQ(labels["instance"].toString(), labels["host"].toString() + ":" + labels["port"].toString());
            EXPECT_FALSE(alert["startsAt"].toString().isEmpty());
            seen.push_back((labels["host"].toString() + (alert.contains("endsAt") ? " ended " : " firing ") +
                            alert["annotations"]["summary"].toString())
                               .toStdString());
        }
    }
    return seen;
}

struct SinkRig {
    SinkRig() {
        EXPECT_TRUE(listening);
        sink.setBaseUrl("http://127.0.0.1:" + std::to_string(stub.port()));
    }
    void raise(const std::string& host, AlertKind kind = AlertKind::Down) {
        sink.SendAlert(Alert{kind, "Alert for " + host + " 25", host, "25", "mail", scheduler.now()});
    }
    // Waits until the stub has seen `count` alerts in all, and returns those since `from`.
    std::vector<std::string> seen(std::size_t from, std::size_t count) {
        std::vector<std::string> all;
        EXPECT_TRUE(waitUntil([&] { return (all = alertsIn(stub.bodies)).size() >= count; })) << all.size();
        return {all.begin() + static_cast<long>(std::min(from, all.size())), all.end()};
    }
    std::vector<std::string> logged() const {
        std::vector<std::string> lines;
        for (std::size_t i = box.lineCount(); i-- > 0;)
            lines.push_back(box.line(i).substr(22));
        return lines;
    }

    HttpPostCollector stub;
    bool listening = stub.listen();
    TempFolder folder;
    FakeScheduler scheduler;
    AppSettings settings;
    LogBox box;
    EventLog log{scheduler, settings, box, folder.path()};
    std::unique_ptr<Timer> round = scheduler.createTimer(60000, true);
    qt::QtUrlFetcher reader;
    AlertmanagerSink sink{scheduler, *round, reader, log};
};

TEST(AlertmanagerSink, AlertsStandWithEveryRoundAndEndOnRecoveryDeleteStopAndEnd) {
    SinkRig rig;
    rig.raise("db");
    rig.raise("web");
    EXPECT_EQ(rig.seen(0, 2), (std::vector<std::string>{"db firing Alert for db 25", "web firing Alert for web 25"}));
    rig.scheduler.advance(60000);
    EXPECT_EQ(rig.seen(2, 4), (std::vector<std::string>{"db firing Alert for db 25", "web firing Alert for web 25"}));
    EXPECT_EQ(rig.stub.bodies.size(), 3u) << "a round posts every standing alert at once";

    rig.raise("db", AlertKind::BackToAlive);
    rig.sink.endTarget("web", "25", "mail");
    EXPECT_EQ(rig.seen(4, 6), (std::vector<std::string>{"db ended Alert for db 25", "web ended Alert for web 25"}));
    rig.scheduler.advance(60000);
    rig.raise("mail");
    rig.sink.setMonitoring(false);
    EXPECT_EQ(rig.seen(6, 8),
              (std::vector<std::string>{"mail firing Alert for mail 25", "mail ended Alert for mail 25"}));
    rig.sink.setMonitoring(true);
    rig.sink.endAll();
    EXPECT_EQ(rig.seen(8, 10),
              (std::vector<std::string>{"mail firing Alert for mail 25", "mail ended Alert for mail 25"}));
    EXPECT_TRUE(rig.logged().empty());
}

TEST(AlertmanagerSink, AnOutageCostsOneLineAndOneMoreWhenItAnswersAgain) {
    SinkRig rig;
    const quint16 port = rig.stub.port();
    rig.stub.close();
    rig.raise("db");
    rig.raise("web");
    rig.raise("web", AlertKind::BackToAlive);
    rig.scheduler.advance(60000);
    ASSERT_TRUE(waitUntil([&] { return rig.logged().size() == 1; }));
    waitUntil([] { return false; }, 300);
    const std::string base = "Alertmanager at http://127.0.0.1:" + std::to_string(port);
    EXPECT_EQ(rig.logged(), (std::vector<std::string>{base + " does not answer; its alerts go again every minute"}));

    ASSERT_TRUE(rig.stub.listen(port));
    rig.scheduler.advance(60000);
    // The next round brings the standing alert and the end that failed.
    EXPECT_EQ(rig.seen(0, 2), (std::vector<std::string>{"web ended Alert for web 25", "db firing Alert for db 25"}));
    EXPECT_EQ(rig.logged().back(), base + " answers again");
    EXPECT_EQ(rig.logged().size(), 2u);
}

} // namespace
} // namespace wardel::test
