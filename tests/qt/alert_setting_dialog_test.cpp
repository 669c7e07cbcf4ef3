#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "app/sms_port.h"
#include "gateway_sim/gateway_simulator.h"
#include "platform/qt/program_end.h"
#include "support/live_rig.h"
#include "support/qt_wait.h"
#include "support/settings_builders.h"
#include "support/test_rig.h"
#include "ui/alert_setting_dialog.h"
#include "ui/main_window.h"

namespace wardel::qt {
namespace {

using test::waitUntil;

// The real main window and settings dialog over the whole model; the gateway is the simulator on loopback,
// every other seam a fake. The program starts with the settings file given, or without one.
struct DialogRig {
    explicit DialogRig(const std::string& settingsFile = {}) {
        if (!settingsFile.empty())
            test::writeFile(folder / "setting.ini", settingsFile);
        listening = simulator.listen();
        port.gateway().setGatewayBase(simulator.baseUrl().toStdString());
        window.setProgramEnder([] {});
        window.attach(port);
        port.Form_Load();
    }
    ~DialogRig() {
        window.detach();
        programEndedFlag() = false;
    }

    AlertSettingDialog* dialog() { return window.findChild<AlertSettingDialog*>(QStringLiteral("alertSetting")); }
    template <typename W> W* field(const char* name) {
        auto* found = dialog() ? dialog()->findChild<W*>(QString::fromLatin1(name)) : nullptr;
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    // A check box takes clicks on its box and caption only, at its left.
    void click(QWidget* widget) {
        const bool checkBox = qobject_cast<QCheckBox*>(widget) != nullptr;
        QTest::mouseClick(widget, Qt::LeftButton, {}, checkBox ? QPoint(6, widget->height() / 2) : QPoint());
    }
    // Replaces what a box holds by typing, as the operator does.
    void retype(QLineEdit* box, const char* text) {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, QString::fromUtf8(text));
    }
    void openDialog() { click(window.findChild<QPushButton*>(QStringLiteral("cmdSetting"))); }

    sim::GatewaySimulator simulator;
    bool listening = false;
    test::TempFolder folder;
    test::FakeScheduler scheduler{{2026, 12, 6, 7, 5, 9}};
    test::FakeSocket socket;
    test::LiveReaders readers;
    test::FakeMessageBox messages;
    test::FakeTray tray;
    test::FakeShell shell;
    MainWindow window;
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
};

TEST(AlertSettingDialogTest, TypedSettingsAreSavedToTheFileAndLogOnAgain) {
    DialogRig rig;
    ASSERT_TRUE(rig.listening);
    EXPECT_EQ(rig.dialog()->isVisible(), false); // made hidden at start-up, for the logon
    rig.openDialog();
    ASSERT_TRUE(rig.dialog()->isVisible());

    rig.retype(rig.field<QLineEdit>("TimeInterval"), "45");
    rig.click(rig.field<QCheckBox>("Check2"));
    ASSERT_TRUE(rig.field<QLineEdit>("smsEmail")->isEnabled());
    QTest::keyClicks(rig.field<QLineEdit>("smsEmail"), "ops@example.com");
    QTest::keyClicks(rig.field<QLineEdit>("smsPassword"), "secret");
    auto* phone = rig.field<QLineEdit>("smsPhone");
    rig.click(phone); // the hint goes
    QTest::keyClicks(phone, "+1555,+1666");
    rig.retype(rig.field<QLineEdit>("Mail_List"), "");
    rig.retype(rig.field<QComboBox>("max_SMS")->lineEdit(), "30");
    rig.click(rig.field<QCheckBox>("Enable_log"));
    rig.click(rig.field<QPushButton>("Save"));

    EXPECT_TRUE(rig.messages.shown.empty());
    EXPECT_FALSE(rig.port.hasAlertSetting());
    AppSettings typed = test::defaultSettings();
    typed.timeInterval = "45";
    typed.alertEnabled = typed.logEnabled = 1;
    typed.smsEmail = "ops@example.com";
    typed.smsPassword = "secret";
    typed.smsPhone = "+1555,+1666";
    typed.maxSms = "30";
    typed.aliveMailTo = AlertSetting::kMailToHint; // hints no check looked at are saved as they stand
    typed.aliveSmsTo = AlertSetting::kSmsToHint;
    EXPECT_EQ(test::readFile(rig.folder / "setting.ini"), test::settingsText(typed));
    ASSERT_TRUE(waitUntil([&] { return rig.port.controls().Label7.visible(); }));
    ASSERT_EQ(rig.simulator.requestLines().size(), 1);
    EXPECT_EQ(rig.simulator.requestLines()[0].toStdString(),
              "GET /txgate/php/sms_logon.php?email=ops@example.com&pwd=secret&now=2026-12-06%2007:05:09 HTTP/1.1");
    EXPECT_EQ(rig.port.controls().Label4.text(), "SMS Account : ops@example.com");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(rig.dialog(), nullptr);
}

// Line `number` (from 1) of the settings file.
std::string settingLine(const DialogRig& rig, std::size_t number) {
    const std::string text = test::readFile(rig.folder / "setting.ini");
    std::size_t start = 0;
    for (std::size_t line = 1; line < number; ++line)
        start = text.find("\r\n", start) + 2;
    return text.substr(start, text.find("\r\n", start) - start);
}

TEST(AlertSettingDialogTest, TheCapSavedIsTheCapTypedAndASecondSaveKeepsIt) {
    DialogRig rig(test::settingsText(test::settingsWithAlertsOn()));
    // Each digit is the start of a list entry the box must not complete it to ("20", "10", "9999"); a cap
    // typed over the current entry 20 stays what was typed as well.
    for (const char* typed : {"2", "1", "9", "20", "2", "15"}) {
        rig.openDialog();
        auto* cap = rig.field<QComboBox>("max_SMS");
        // The operator types into the box with the focus, the only place a completion would act.
        QApplication::setActiveWindow(rig.dialog());
        cap->setFocus();
        rig.retype(cap->lineEdit(), typed);
        EXPECT_EQ(cap->currentText().toStdString(), typed);
        rig.click(rig.field<QPushButton>("Save"));
        ASSERT_FALSE(rig.port.hasAlertSetting()) << typed;
        EXPECT_EQ(settingLine(rig, 10), typed);

        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        rig.openDialog();
        EXPECT_EQ(rig.field<QComboBox>("max_SMS")->currentText().toStdString(), typed);
        rig.click(rig.field<QPushButton>("Save"));
        EXPECT_EQ(settingLine(rig, 10), typed) << "saved again unchanged";
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST(AlertSettingDialogTest, ASaveThatCannotWriteTheFileSaysSoKeepsTheDialogAndTheLogon) {
    const std::string before = test::settingsText(test::settingsWithAlertsOn());
    DialogRig rig(before);
    ASSERT_TRUE(rig.listening);
    ASSERT_TRUE(waitUntil([&] { return rig.simulator.requestLines().size() == 1; })); // the start-up logon
    // The new file is written beside the old one first; a folder in its place stops it, even for root.
    std::filesystem::create_directory(rig.folder / "setting.ini.tmp");
    rig.openDialog();
    rig.retype(rig.field<QLineEdit>("TimeInterval"), "45");
    rig.click(rig.field<QPushButton>("Save"));

    EXPECT_EQ(rig.messages.shown, std::vector<std::string>{"Setting File Save Error"});
    ASSERT_TRUE(rig.port.hasAlertSetting());
    EXPECT_TRUE(rig.dialog()->isVisible());
    EXPECT_EQ(rig.field<QLineEdit>("TimeInterval")->text(), QStringLiteral("45"));
    EXPECT_EQ(test::readFile(rig.folder / "setting.ini"), before);
    ASSERT_TRUE(waitUntil([&] { return rig.simulator.requestLines().size() == 2; })); // the save's logon stands

    // Once the way is clear, the same dialog saves and closes.
    std::filesystem::remove(rig.folder / "setting.ini.tmp");
    rig.click(rig.field<QPushButton>("Save"));
    EXPECT_FALSE(rig.port.hasAlertSetting());
    EXPECT_EQ(settingLine(rig, 1), "45");
}

TEST(AlertSettingDialogTest, ModelessWindowWithMaskedPasswordEditableCapAndTheGatewayLink) {
    DialogRig rig;
    rig.openDialog();
    AlertSettingDialog* dialog = rig.dialog();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Wardel  Settings"));
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(rig.field<QLineEdit>("smsPassword")->echoMode(), QLineEdit::Password);
    auto* cap = rig.field<QComboBox>("max_SMS");
    EXPECT_TRUE(cap->isEditable());
    EXPECT_EQ(cap->count(), 11);
    EXPECT_EQ(cap->currentText(), QStringLiteral("9999"));
    EXPECT_EQ(rig.field<QLabel>("Label3(5)")->text(), rig.simulator.baseUrl());

    rig.click(rig.field<QCheckBox>("Check2"));
    rig.click(rig.field<QLabel>("Label3(5)"));
    EXPECT_EQ(rig.shell.openedUrls, std::vector<std::string>{rig.simulator.baseUrl().toStdString()});
    // The main window goes on taking clicks while the dialog is open.
    QTest::mouseClick(rig.window.findChild<QPushButton*>(QStringLiteral("cmdAdd")), Qt::LeftButton);
    EXPECT_EQ(rig.messages.shown.back(), "Please input Host Name / IP address");
}

TEST(AlertSettingDialogTest, TheLinksTakeTheirPlaceInTheTabOrderAndOpenWithEnterOrSpace) {
    DialogRig rig;
    rig.openDialog();
    rig.click(rig.field<QCheckBox>("Check2")); // the gateway's fields and links come on
    rig.dialog()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(rig.dialog()));
    const struct {
        const char* from;
        Qt::Key key;
        const char* to;
    } steps[] = {
        {"smsPassword", Qt::Key_Tab, "Label2"},    {"Label2", Qt::Key_Tab, "smsPhone"},
        {"smsPhone", Qt::Key_Backtab, "Label2"},   {"max_SMS", Qt::Key_Tab, "SMS_Reset"},
        {"SMS_Reset", Qt::Key_Tab, "alive_Email"}, {"Cancel", Qt::Key_Tab, "Label3(5)"},
    };
    for (const auto& step : steps) {
        rig.field<QWidget>(step.from)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), step.key);
        EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), step.to) << step.from;
    }
    QTest::keyClick(rig.field<QLabel>("Label2"), Qt::Key_Return);
    QTest::keyClick(rig.field<QLabel>("Label3(5)"), Qt::Key_Space);
    EXPECT_EQ(rig.shell.openedUrls.size(), 2u);
    rig.port.runtime().smsSentToday = 3;
    QTest::keyClick(rig.field<QLabel>("SMS_Reset"), Qt::Key_Space);
    EXPECT_EQ(rig.port.runtime().smsSentToday, 0);
}

TEST(AlertSettingDialogTest, CloseBoxDropsTheEditsAndTheNextOpeningFillsAgain) {
    DialogRig rig;
    rig.openDialog();
    rig.click(rig.field<QCheckBox>("Check2"));
    rig.retype(rig.field<QLineEdit>("smsEmail"), "typed@example.org");
    rig.dialog()->close();
    EXPECT_FALSE(rig.port.hasAlertSetting());
    EXPECT_EQ(rig.port.settings().alertEnabled, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(rig.dialog(), nullptr);

    rig.openDialog();
    ASSERT_NE(rig.dialog(), nullptr);
    EXPECT_TRUE(rig.dialog()->isVisible());
    EXPECT_TRUE(rig.field<QLineEdit>("smsEmail")->text().isEmpty());
    EXPECT_FALSE(rig.field<QLineEdit>("smsEmail")->isEnabled());
}

TEST(AlertSettingDialogTest, PastedTextKeepsItsFirstLine) {
    DialogRig rig;
    rig.openDialog();
    auto* box = rig.field<QLineEdit>("TimeOut");
    box->setCursorPosition(1); // "3|0"
    box->insert(QStringLiteral("1\r\n2\n3"));
    EXPECT_EQ(box->text(), QStringLiteral("310"));
    EXPECT_EQ(rig.port.alertSetting().controls().TimeOut.text(), "310");
}

} // namespace
} // namespace wardel::qt
