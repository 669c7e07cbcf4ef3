#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTcpServer>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/sms_port.h"
#include "gateway_sim/gateway_simulator.h"
#include "platform/qt/program_end.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_message_box.h"
#include "platform/qt/qt_probe_socket.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/qt_timer.h"
#include "platform/qt/qt_tray_icon.h"
#include "support/live_rig.h"
#include "support/loopback_targets.h"
#include "support/qt_wait.h"
#include "support/query_values.h"
#include "support/settings_builders.h"
#include "support/test_rig.h"
#include "ui/alert_setting_dialog.h"
#include "ui/app_icon.h"
#include "ui/main_window.h"

namespace wardel::qt {
namespace {

using test::queryPath;
using test::queryValue;
using test::waitUntil;

// The real timers, except that the minute task's minute lasts four seconds, so the I-am-alive notice comes
// round while the operator works.
class ShortMinuteTimers : public TimerSource {
public:
    std::unique_ptr<Timer> createTimer(int intervalMs, bool enabled) override {
        return real_.createTimer(intervalMs == 60000 ? 4000 : intervalMs, enabled);
    }

private:
    QtTimerSource real_;
};

// Time stamps vary from run to run; everything around them must not.
std::string withoutTimes(const std::string& text) {
    static const std::regex stamp(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)");
    static const std::regex time(R"(\d\d:\d\d:\d\d)");
    return std::regex_replace(std::regex_replace(text, stamp, "<stamp>"), time, "<time>");
}

// The whole program as main() puts it together, on the real Qt seams, in a program folder of its own, with
// the gateway simulator as the gateway and three loopback targets: one open, one refusing, one silent. The
// operator's part is played with clicks and typing on the real widgets.
TEST(AcceptanceTest, AnOperatorsSessionFromStartToExit) {
    sim::GatewaySimulator simulator;
    ASSERT_TRUE(simulator.listen());
    test::OpenTarget open;
    const quint16 refused = test::refusingPort();
    test::SilentTarget silent;
    ASSERT_NE(silent.port(), 0);
    const std::string openPort = std::to_string(open.port()), refusedPort = std::to_string(refused),
                      silentPort = std::to_string(silent.port());

    test::TempFolder folder;
    // Probes every second, file logging, started at once; a cap of 2 SMS and a one-minute alive mail.
    AppSettings settings = test::settingsWithAlertsOn();
    settings.timeInterval = "1";
    settings.timeOut = "3";
    settings.startOnLaunch = settings.logEnabled = 1;
    settings.maxSms = "2";
    settings.aliveMailMinutes = "1";
    settings.aliveMailTo = "watch@example.com";
    settings.aliveSmsTo = "";
    test::writeFile(folder / "setting.ini", test::settingsText(settings));
    test::writeFile(folder / "host.ini", "\"127.0.0.1\",\"" + openPort + "\",\"web\",\"1\"\r\n\"127.0.0.1\",\"" +
                                             refusedPort + "\",\"db\",\"1\"\r\n\"127.0.0.1\",\"" + silentPort +
                                             "\",\"mail gw\",\"1\"\r\n");

    QtClock clock;
    ShortMinuteTimers timers;
    QtProbeSocket socket;
    test::LiveReaders readers;
    QtMessageBox messages;
    QtTrayIcon tray(wardelIcon());
    QtShell shell;
    MainWindow window;
    messages.setParentWidget(&window);
    shell.setParentWidget(&window);
    test::FakeNotifier notifier; // no notification reaches the desktop the tests run on
    Platform platform{.clock = clock,
                      .timers = timers,
                      .socket = socket,
                      .mainReader = readers.main(),
                      .creditReader = readers.credit(),
                      .messages = messages,
                      .tray = tray,
                      .shell = shell,
                      .window = window,
                      .notifier = notifier};
    SMSPort port(platform, folder.path());
    port.gateway().setGatewayBase(simulator.baseUrl().toStdString());
    window.attach(port);
    // The window lets go of the model before it goes, however the test ends.
    const std::unique_ptr<MainWindow, void (*)(MainWindow*)> detach(&window, [](MainWindow* w) {
        w->detach();
        programEndedFlag() = false;
    });
    port.Form_Load();

    const auto widget = [&](const char* name) {
        auto* found = window.findChild<QWidget*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    };
    const auto text = [&](const char* name) { return qobject_cast<QLabel*>(widget(name))->text().toStdString(); };
    auto* grid = qobject_cast<QTableView*>(widget("grdHotGrid"));
    const auto cell = [&](int row, int column) {
        return grid->model()->index(row, column).data().toString().toStdString();
    };
    // The requests of one gateway page, as the simulator received them.
    const auto requests = [&](const std::string& path) {
        std::vector<std::string> found;
        for (const QByteArray& line : simulator.requestLines()) {
            const std::string target = line.split(' ').value(1).toStdString();
            if (queryPath(target) == path)
                found.push_back(target);
        }
        return found;
    };

    // Start-up: the window, its first lines (the file is not on yet for the very first), the logon with the
    // saved account, the credit.
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(withoutTimes(qobject_cast<QPlainTextEdit*>(widget("txtLog"))->toPlainText().toStdString()),
              "<stamp> - Monitoring Started\n<stamp> - Wardel Program Start Running\n");
    EXPECT_TRUE(std::regex_match(window.windowTitle().toStdString(),
                                 std::regex(R"(Wardel V4\.2 \d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")));
    ASSERT_TRUE(waitUntil([&] { return widget("Label7")->isVisible(); }));
    EXPECT_EQ(text("Label4"), "SMS Account : ops@example.com");
    EXPECT_EQ(text("Label7"), "25");
    ASSERT_EQ(requests("/txgate/php/sms_logon.php").size(), 1u);
    EXPECT_EQ(queryValue(requests("/txgate/php/sms_logon.php")[0], "email"), "ops@example.com");

    // The first cycle: the refusing and the silent target each raise an alert, which go out as the day's two SMS.
    ASSERT_TRUE(waitUntil([&] { return simulator.smsTexts().size() == 2; }, 15000));
    const std::string time = R"(\d\d:\d\d:\d\d)";
    EXPECT_TRUE(std::regex_match(simulator.smsTexts()[0].toStdString(),
                                 std::regex("Alert for 127\\.0\\.0\\.1 " + refusedPort + " Down\\(" + time + "\\) db")))
        << simulator.smsTexts()[0].toStdString();
    EXPECT_TRUE(std::regex_match(
        simulator.smsTexts()[1].toStdString(),
        std::regex("Alert for 127\\.0\\.0\\.1 " + silentPort + " Timeout\\(" + time + "\\) mail gw Today SMS:2/2")))
        << simulator.smsTexts()[1].toStdString();
    for (const std::string& sms : requests("/txgate/php/smstoolsen.php"))
        EXPECT_EQ(queryValue(sms, "to"), "441111111111");
    const std::vector<std::vector<std::string>> shown = {
        {"127.0.0.1", openPort, "ALIVE(<time>)", "web", "", "1", "0"},
        {"127.0.0.1", refusedPort, "Down(<time>)", "db", "1", "1", "0"},
        {"127.0.0.1", silentPort, "Timeout(<time>)", "mail gw", "1", "1", "0"}};
    ASSERT_EQ(grid->model()->rowCount(), 3);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 7; ++column)
            EXPECT_EQ(withoutTimes(cell(row, column)), shown[row][column]) << row << "," << column;
    ASSERT_TRUE(waitUntil([&] { return text("Label7") == "23"; }));

    // The refusing port comes up: back to alive, and with the SMS spent, as a mail to the alert list.
    QTcpServer comesUp;
    ASSERT_TRUE(comesUp.listen(QHostAddress::LocalHost, refused));
    ASSERT_TRUE(waitUntil([&] { return !requests("/txgate/php/mail_alert.php").empty(); }, 15000));
    const std::string mail = requests("/txgate/php/mail_alert.php")[0];
    EXPECT_EQ(queryValue(mail, "email_list"), "boss@example.com");
    EXPECT_EQ(withoutTimes(queryValue(mail, "text")),
              "Alert for 127.0.0.1 " + refusedPort + " ALIVE(<time>) db Back to Alive");
    EXPECT_EQ(withoutTimes(cell(1, 2)), "ALIVE(<time>)");
    EXPECT_EQ(simulator.smsTexts().size(), 2);

    // The I-am-alive notice, every (short) minute, as a gateway mail with the log.
    ASSERT_TRUE(waitUntil([&] { return !requests("/txgate/php/mail_alert1.php").empty(); }, 10000));
    const std::string alive = requests("/txgate/php/mail_alert1.php")[0];
    EXPECT_EQ(queryValue(alive, "email_list"), "watch@example.com");
    EXPECT_EQ(withoutTimes(queryValue(alive, "subject")), "<stamp> Wardel program is UP and RUNNING !! \r\n");
    EXPECT_NE(queryValue(alive, "text").find("Monitoring Started"), std::string::npos);

    // A new interval typed into the settings dialog: saved, shown, and the account logs on again.
    QTest::mouseClick(widget("cmdSetting"), Qt::LeftButton);
    auto* dialog = window.findChild<AlertSettingDialog*>(QStringLiteral("alertSetting"));
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->isVisible());
    auto* interval = dialog->findChild<QLineEdit*>(QStringLiteral("TimeInterval"));
    interval->selectAll();
    QTest::keyClick(interval, Qt::Key_Delete);
    QTest::keyClicks(interval, QStringLiteral("2"));
    // The cap of 2 is no entry of the list, and shows as it is.
    EXPECT_EQ(dialog->findChild<QComboBox*>(QStringLiteral("max_SMS"))->currentText(), QStringLiteral("2"));
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Save")), Qt::LeftButton);
    // The one-minute mail period the file held is too short for the dialog: it says so and offers five.
    QMessageBox* box = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (box = window.findChild<QMessageBox*>()) != nullptr; }));
    EXPECT_EQ(box->text(), QStringLiteral("Send email for I am alive notice need > 5 minutes"));
    EXPECT_EQ(dialog->findChild<QLineEdit*>(QStringLiteral("min_Select"))->text(), QStringLiteral("5"));
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    EXPECT_EQ(requests("/txgate/php/sms_logon.php").size(), 1u);
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Save")), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return requests("/txgate/php/sms_logon.php").size() == 2; }));
    settings.timeInterval = "2";
    settings.aliveMailMinutes = "5";
    EXPECT_EQ(test::readFile(folder / "setting.ini"), test::settingsText(settings));
    EXPECT_EQ(text("lblTimeinterval"), "Time interval cycle for monitoring : 2 seconds");
    ASSERT_TRUE(waitUntil([&] { return text("Label4") == "SMS Account : ops@example.com"; }));

    // Exit ends the event loop the program runs in.
    QTimer::singleShot(0, [&] { QTest::mouseClick(widget("cmdExit"), Qt::LeftButton); });
    QTimer giveUp;
    QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    giveUp.start(5000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(window.isVisible());

    std::string logged;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        if (entry.path().filename().string().rfind("log_", 0) == 0)
            logged += test::readFile(entry.path());
    EXPECT_EQ(withoutTimes(logged), "<stamp> - Monitoring Started\r\n"
                                    "<stamp> - Alert for 127.0.0.1 " +
                                        refusedPort +
                                        " Down(<time>) db\r\n"
                                        "<stamp> - Send SMS message [Alert for 127.0.0.1 " +
                                        refusedPort +
                                        " Down(<time>) db]\r\n"
                                        "<stamp> - Alert for 127.0.0.1 " +
                                        silentPort +
                                        " Timeout(<time>) mail gw\r\n"
                                        "<stamp> - Send SMS message [Alert for 127.0.0.1 " +
                                        silentPort +
                                        " Timeout(<time>) mail gw Today SMS:2/2]\r\n"
                                        "<stamp> - Alert for 127.0.0.1 " +
                                        refusedPort +
                                        " ALIVE(<time>) db Back to Alive\r\n"
                                        "<stamp> - No SMS send ..up to the limit 2 a day\r\n"
                                        "<stamp> - Mail Alert Send to boss@example.com\r\n"
                                        "<stamp> - Wardel Program Ended\r\n");
}

} // namespace
} // namespace wardel::qt
