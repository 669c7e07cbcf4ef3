// Wardel's alerts through Debian's Alertmanager on loopback (ports chosen at run time, stopped by process
// id) to a webhook receiver in the test: grouping, a silence, recovery, and an Alertmanager that restarts.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <memory>

#include "support/http_post_collector.h"
#include "support/live_rig.h"
#include "support/loopback_targets.h"

namespace wardel::test {
namespace {

const QString kAlertmanager = QStringLiteral("/usr/bin/prometheus-alertmanager");
constexpr int kTargets = 20;

// A minute of Alertmanager's rounds passes in two seconds; every other timer keeps its interval.
class QuickRounds : public TimerSource {
public:
    std::unique_ptr<Timer> createTimer(int intervalMs, bool enabled) override {
        return timers_.createTimer(intervalMs == 60000 ? 2000 : intervalMs, enabled);
    }

private:
    qt::QtTimerSource timers_;
};

class Alertmanager {
public:
    Alertmanager(const TempFolder& folder, quint16 receiverPort) : folder_(folder), port_(refusingPort()) {
        QFile config(QString::fromStdString((folder.path() / "alertmanager.yml").string()));
        config.open(QIODevice::WriteOnly);
        // group_wait covers one cycle over every target, so that one outage is one notification.
        config.write("route:\n  receiver: test\n  group_by: [alertname]\n  group_wait: 25s\n  group_interval: 2s\n"
                     "  repeat_interval: 1h\nreceivers:\n  - name: test\n    webhook_configs:\n      - url: "
                     "\"http://127.0.0.1:" +
                     QByteArray::number(receiverPort) + "/\"\n");
    }
    ~Alertmanager() { stop(); }
    bool start() {
        const QString dir = QString::fromStdString(folder_.path().string());
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(kAlertmanager, {"--config.file=" + dir + "/alertmanager.yml", "--storage.path=" + dir + "/data",
                                       "--web.listen-address=127.0.0.1:" + QString::number(port_),
                                       "--cluster.listen-address=", "--log.level=warn"});
        return serveUntil(
            [&] {
                QTcpSocket probe;
                probe.connectToHost(QHostAddress::LocalHost, port_);
                return probe.waitForConnected(100);
            },
            10000);
    }
    void stop() {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate(); // SIGTERM to its process id
        process_.waitForFinished(10000);
    }
    std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }

private:
    const TempFolder& folder_;
    quint16 port_;
    QProcess process_;
};

struct Rig {
    TempFolder folder;
    qt::QtClock clock;
    QuickRounds timers;
    qt::QtProbeSocket socket;
    LiveReaders readers;
    FakeMessageBox messages;
    FakeTray tray;
    FakeShell shell;
    FakeWindow window;
    FakeNotifier notifier;
    qt::QtUrlFetcher alertReader;
    Platform platform{.clock = clock,
                      .timers = timers,
                      .socket = socket,
                      .mainReader = readers.main(),
                      .creditReader = readers.credit(),
                      .messages = messages,
                      .tray = tray,
                      .shell = shell,
                      .window = window,
                      .notifier = notifier,
                      .alertReader = &alertReader};
    SMSPort port{platform, folder.path()};
    int lines(const std::string& text) {
        int found = 0;
        for (std::size_t i = 0; i < port.logBox().lineCount(); ++i)
            found += port.logBox().line(i).find(text) != std::string::npos;
        return found;
    }
};

// The webhook notifications so far: for each, its alerts as "<host> <status>".
std::vector<std::vector<std::string>> notifications(const HttpPostCollector& receiver) {
    std::vector<std::vector<std::string>> all;
    for (const QByteArray& body : receiver.bodies) {
        std::vector<std::string> alerts;
        for (const QJsonValue a : QJsonDocument::fromJson(body).object()["alerts"].toArray())
            alerts.push_back((a["labels"]["host"].toString() + " " + a["status"].toString()).toStdString());
        all.push_back(alerts);
    }
    return all;
}

// The answer to one request of the test's own, through the program's URL reader.
std::string ask(qt::QtUrlFetcher& reader, const std::string& url, const std::string& json = {}) {
    std::string body;
    bool done = false;
    const Subscription s = reader.subscribeCompletion([&](const FetchResult& r) {
        body = r.body;
        done = true;
    });
    json.empty() ? reader.start("ask", url) : reader.post("ask", url, json);
    serveUntil([&] { return done; }, 10000);
    return body;
}

TEST(AlertmanagerEndToEnd, OneOutageIsOneNotificationSilencesHoldAndNothingIsLostInARestart) {
    if (!QFile::exists(kAlertmanager))
        GTEST_SKIP() << "no prometheus-alertmanager";
    HttpPostCollector receiver;
    ASSERT_TRUE(receiver.listen());
    TempFolder amFolder;
    Alertmanager alertmanager(amFolder, receiver.port());
    ASSERT_TRUE(alertmanager.start());

    Rig rig;
    rig.port.alertmanager()->setBaseUrl(alertmanager.base());
    rig.port.settings().timeInterval = "1";
    rig.port.settings().timeOut = "3";
    const quint16 port = refusingPort();
    HostTable& grid = rig.port.grid();
    for (int i = 0; i < kTargets; ++i) {
        const int row = i == 0 ? 1 : grid.appendRow();
        grid.setCell(row, HostTable::colHost, "127.0.0." + std::to_string(i + 1));
        grid.setCell(row, HostTable::colPort, std::to_string(port));
        grid.setCell(row, HostTable::colTimeoutLimit, "1");
        grid.setCell(row, HostTable::colCount, "0");
    }
    rig.port.cmdMonitor_Click();

    // Twenty refused in one cycle: one notification with all of them.
    ASSERT_TRUE(serveUntil([&] { return !receiver.bodies.empty(); }, 60000));
    std::vector<std::string> first = notifications(receiver)[0];
    EXPECT_EQ(first.size(), std::size_t{kTargets});
    EXPECT_EQ(std::count(first.begin(), first.end(), "127.0.0.1 firing"), 1);

    // A silence on one host keeps it out of the next notification (the recovery below).
    qt::QtUrlFetcher asker;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const std::string silence =
        R"({"matchers":[{"name":"host","value":"127.0.0.1","isRegex":false,"isEqual":true}],"startsAt":")" +
        now.toString(Qt::ISODate).toStdString() + R"(","endsAt":")" +
        now.addSecs(3600).toString(Qt::ISODate).toStdString() + R"(","createdBy":"test","comment":"maintenance"})";
    ASSERT_NE(ask(asker, alertmanager.base() + "/api/v2/silences", silence).find("silenceID"), std::string::npos);
    const std::size_t silenced = receiver.bodies.size();

    // Stopped and started again: one line each way, and every standing alert is there again.
    const auto downLine = [&] { return rig.lines("Alertmanager at " + alertmanager.base() + " does not answer"); };
    const auto upLine = [&] { return rig.lines("Alertmanager at " + alertmanager.base() + " answers again"); };
    alertmanager.stop();
    ASSERT_TRUE(serveUntil([&] { return downLine() == 1; }, 15000));
    serveUntil([] { return false; }, 4500); // two more rounds that fail
    ASSERT_TRUE(alertmanager.start());
    ASSERT_TRUE(serveUntil([&] { return upLine() == 1; }, 15000));
    const QJsonArray standing =
        QJsonDocument::fromJson(QByteArray::fromStdString(ask(asker, alertmanager.base() + "/api/v2/alerts"))).array();
    EXPECT_EQ(standing.size(), kTargets);
    EXPECT_EQ(downLine(), 1);
    EXPECT_EQ(upLine(), 1);

    // The ports open: the next cycle resolves them.
    std::vector<std::unique_ptr<QTcpServer>> listeners;
    for (int i = 0; i < kTargets; ++i) {
        listeners.push_back(std::make_unique<QTcpServer>());
        ASSERT_TRUE(listeners.back()->listen(QHostAddress(QString("127.0.0.%1").arg(i + 1)), port));
    }
    // A notification holds each alert resolved since the one before.
    const auto resolved = [&](const std::string& host) {
        const auto all = notifications(receiver);
        std::size_t found = 0;
        for (std::size_t i = silenced; i < all.size(); ++i)
            found += static_cast<std::size_t>(std::count(all[i].begin(), all[i].end(), host + " resolved"));
        return found;
    };
    EXPECT_TRUE(serveUntil([&] { return resolved("127.0.0.2") == 1 && resolved("127.0.0.20") == 1; }, 60000));
    const auto all = notifications(receiver);
    for (std::size_t i = silenced; i < all.size(); ++i)
        EXPECT_EQ(std::count_if(all[i].begin(), all[i].end(),
                                [](const std::string& a) { return a.rfind("127.0.0.1 ", 0) == 0; }),
                  0);
    rig.port.cmdMonitor_Click();
}

} // namespace
} // namespace wardel::test
