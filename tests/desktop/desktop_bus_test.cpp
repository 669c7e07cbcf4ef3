// Wardel against a desktop's own services on a private session bus (see desktop_bus_test.sh): a tray that
// speaks StatusNotifierItem, and the notification service. The fakes run as a second process.
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include "app/sms_port.h"
#include "platform/qt/program_end.h"
#include "platform/qt/qt_desktop_notifier.h"
#include "platform/qt/qt_tray_icon.h"
#include "support/qt_wait.h"
#include "support/test_rig.h"
#include "ui/app_icon.h"
#include "ui/main_window.h"

namespace wardel::qt {
namespace {

using test::waitUntil;

// The fake desktop services, one line per event they saw.
class FakeDesktop {
public:
    explicit FakeDesktop(const QStringList& services) {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral(WARDEL_FAKE_DESKTOP)} + services);
        EXPECT_TRUE(waitFor("ready")) << "the fake desktop did not come up";
    }
    ~FakeDesktop() {
        process_.kill();
        process_.waitForFinished(5000);
    }

    // Waits for the next line that starts with `word`, and returns the rest of it (null when none came).
    QString next(const char* word, int timeoutMs = 5000) {
        QString found;
        const QString prefix = QString::fromLatin1(word) + QLatin1Char(' ');
        waitUntil(
            [&] {
                while (process_.canReadLine()) {
                    const QString line = QString::fromUtf8(process_.readLine()).trimmed();
                    if (line.startsWith(prefix)) {
                        found = line.mid(prefix.size());
                        return true;
                    }
                }
                return false;
            },
            timeoutMs);
        return found;
    }
    bool waitFor(const char* line) {
        return waitUntil([&] {
            while (process_.canReadLine()) {
                if (QString::fromUtf8(process_.readLine()).trimmed() == QLatin1String(line))
                    return true;
            }
            return false;
        });
    }

private:
    QProcess process_;
};

// The real window and tray icon over the model, with the desktop notifier; the probe socket, the gateway
// and time are fakes.
struct DesktopRig {
    DesktopRig() {
        window.setProgramEnder([] {});
        window.attach(port);
    }
    ~DesktopRig() {
        window.detach();
        programEndedFlag() = false;
    }

    test::TempFolder folder;
    test::FakeScheduler scheduler;
    test::FakeSocket socket;
    test::FakeUrlFetcher mainReader;
    test::FakeUrlFetcher creditReader;
    test::FakeMessageBox messages;
    QtTrayIcon tray{wardelIcon()};
    test::FakeShell shell;
    MainWindow window;
    QtDesktopNotifier notifier{QStringLiteral("Wardel"), QStringLiteral("wardel")};
    Platform platform{.clock = scheduler,
                      .timers = scheduler,
                      .socket = socket,
                      .mainReader = mainReader,
                      .creditReader = creditReader,
                      .messages = messages,
                      .tray = tray,
                      .shell = shell,
                      .window = window,
                      .notifier = notifier};
    SMSPort port{platform, folder.path()};
};

// Plasma, GNOME with AppIndicator and Wayland sessions send the item's Activate for a click, and Qt reports
// it as a single click: there, that brings the hidden window back, centred.
// The panel starts after Wardel, and restarts later: the icon registers each time, and a minimise hides the
// window into the tray only while a tray is there.
TEST(DesktopBus, StatusNotifierActivationBringsTheMinimisedWindowBackCentred) {
    DesktopRig rig;
    rig.port.Form_Load();
    rig.window.setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(rig.window.isVisible()) << "hidden with no tray to bring it back";
    rig.window.setWindowState(Qt::WindowNoState);

    auto panel = std::make_unique<FakeDesktop>(QStringList{QStringLiteral("watcher")});
    ASSERT_FALSE(panel->next("item").isEmpty()) << "the tray icon was not registered with a later watcher";
    panel.reset();
    panel = std::make_unique<FakeDesktop>(QStringList{QStringLiteral("watcher")});
    const QString item = panel->next("item");
    ASSERT_FALSE(item.isEmpty()) << "the tray icon was not registered again after the panel restarted";
    ASSERT_TRUE(rig.tray.onStatusNotifierHost()) << item.toStdString();

    rig.window.move(0, 0);
    rig.window.setWindowState(Qt::WindowMinimized);
    ASSERT_FALSE(rig.window.isVisible());

    QDBusMessage activate =
        QDBusMessage::createMethodCall(item, QStringLiteral("/StatusNotifierItem"),
                                       QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("Activate"));
    activate << 0 << 0;
    QDBusConnection::sessionBus().asyncCall(activate);
    ASSERT_TRUE(waitUntil([&] { return rig.window.isVisible(); })) << "Activate did not bring the window back";
    EXPECT_FALSE(rig.window.windowState() & Qt::WindowMinimized);
    const QRect area = rig.window.screen()->availableGeometry();
    EXPECT_LE((rig.window.frameGeometry().center() - area.center()).manhattanLength(), 2);
}

// Collects Qt's warnings while it lives.
class Warnings {
public:
    Warnings() {
        list().clear();
        previous_ = qInstallMessageHandler(&Warnings::handle);
    }
    ~Warnings() { qInstallMessageHandler(previous_); }
    static QStringList& list() {
        static QStringList warnings;
        return warnings;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtDebugMsg && type != QtInfoMsg)
            list().append(message);
    }
    QtMessageHandler previous_;
};

// The alert and Back to Alive messages in the log box, oldest first, without their time stamps.
std::vector<std::string> alertMessages(const LogBox& box) {
    std::vector<std::string> messages;
    for (std::size_t i = box.lineCount(); i-- > 0;) {
        const std::string& line = box.line(i);
        const std::size_t text = line.find(" - ");
        if (text != std::string::npos && line.compare(text + 3, 10, "Alert for ") == 0)
            messages.push_back(line.substr(text + 3));
    }
    return messages;
}

// One target with a failure limit of 1 that fails once and then answers: an alert, then Back to Alive.
void failThenAnswer(DesktopRig& rig) {
    test::writeFile(rig.folder / "host.ini", "\"127.0.0.1\",\"9\",\"discard\",\"1\"\r\n");
    rig.port.Form_Load();
    rig.socket.stateOnConnect = ProbeSocket::Error;
    rig.port.cmdMonitor_Click();
    rig.scheduler.advance(2000);
    QTest::qWait(300); // the service's answer to the alert's notice, with its id
    rig.socket.stateOnConnect = ProbeSocket::Connected;
    rig.scheduler.advance(61000);
}

TEST(DesktopBus, AlertAndRecoveryReachTheNotificationServiceWithTheirUrgency) {
    FakeDesktop desktop({QStringLiteral("notifications")});
    DesktopRig rig;
    failThenAnswer(rig);

    const std::vector<std::string> lines = alertMessages(rig.port.logBox());
    ASSERT_EQ(lines.size(), 2u);
    // The recovery takes the place of the alert's notification.
    const int urgencies[] = {2, 1};
    std::vector<int> ids;
    for (std::size_t i = 0; i < 2; ++i) {
        const QString notice = desktop.next("notify");
        ASSERT_FALSE(notice.isEmpty()) << "notification " << i << " never arrived";
        const QJsonObject json = QJsonDocument::fromJson(notice.toUtf8()).object();
        EXPECT_EQ(json.value("summary").toString().toStdString(), lines[i]);
        EXPECT_EQ(json.value("app").toString(), QStringLiteral("Wardel"));
        const QJsonObject hints = json.value("hints").toObject();
        EXPECT_EQ(hints.value("desktop-entry").toString(), QStringLiteral("wardel"));
        EXPECT_EQ(hints.value("urgency").toInt(), urgencies[i]) << lines[i];
        EXPECT_EQ(json.value("replaces").toInt(), i == 0 ? 0 : ids[0]) << lines[i];
        ids.push_back(json.value("id").toInt());
    }
}

// No notification service: the alert goes its usual way, nothing is logged or warned about, and a service
// that comes later gets nothing of what went before.
TEST(DesktopBus, WithoutANotificationServiceNothingHappens) {
    DesktopRig rig;
    Warnings warnings;
    failThenAnswer(rig);
    QTest::qWait(200); // time for a reply from the bus, should one be waited for
    EXPECT_TRUE(Warnings::list().isEmpty()) << Warnings::list().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(alertMessages(rig.port.logBox()).size(), 2u);

    FakeDesktop desktop({QStringLiteral("notifications")});
    rig.socket.stateOnConnect = ProbeSocket::Error;
    rig.scheduler.advance(61000);
    const QJsonObject json = QJsonDocument::fromJson(desktop.next("notify").toUtf8()).object();
    EXPECT_EQ(json.value("hints").toObject().value("urgency").toInt(), 2) << "an alert, not the earlier recovery";
    EXPECT_TRUE(json.value("summary").toString().startsWith(QStringLiteral("Alert for 127.0.0.1 9 Down(")));
}

} // namespace
} // namespace wardel::qt

namespace wardel::qt {
namespace {

// More than three alerts in one cycle make one notice, and so do their recoveries.
TEST(DesktopBus, AnOutageOfManyTargetsIsOneNotificationEachWay) {
    FakeDesktop desktop({QStringLiteral("notifications")});
    DesktopRig rig;
    std::string hosts;
    for (int port = 1; port <= 5; ++port)
        hosts += "\"127.0.0.1\",\"" + std::to_string(port) + "\",\"\",\"1\"\r\n";
    test::writeFile(rig.folder / "host.ini", hosts);
    rig.port.Form_Load();
    rig.socket.stateOnConnect = ProbeSocket::Error;
    rig.port.cmdMonitor_Click();
    rig.scheduler.advance(8000);
    rig.socket.stateOnConnect = ProbeSocket::Connected;
    rig.scheduler.advance(68000);
    const char* expected[] = {"5 targets down: 127.0.0.1 1, 127.0.0.1 2, 127.0.0.1 3 and 2 more",
                              "5 targets back to alive: 127.0.0.1 1, 127.0.0.1 2, 127.0.0.1 3 and 2 more"};
    for (const char* text : expected) {
        const QJsonObject json = QJsonDocument::fromJson(desktop.next("notify").toUtf8()).object();
        EXPECT_EQ(json.value("summary").toString().toStdString(), text);
    }
    EXPECT_TRUE(desktop.next("notify", 300).isEmpty());
}

} // namespace
} // namespace wardel::qt
