#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <string>

#include <gtest/gtest.h>

#include "app/sms_port.h"
#include "gateway_sim/gateway_simulator.h"
#include "platform/qt/program_end.h"
#include "platform/qt/qt_url_fetcher.h"
#include "support/qt_wait.h"
#include "support/test_rig.h"
#include "ui/alert_setting_dialog.h"
#include "ui/main_window.h"

namespace wardel::qt {
namespace {

using test::waitUntil;

// The real main window and settings dialog over the whole model; the gateway is the simulator on loopback,
// every other seam a fake.
struct DialogRig {
    DialogRig() {
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
    QtUrlFetcher mainReader;
    QtUrlFetcher creditReader;
    test::FakeMessageBox messages;
    test::FakeTray tray;
    test::FakeShell shell;
    MainWindow window;
    Platform platform{scheduler, scheduler, socket, mainReader, creditReader, messages, tray, shell, window};
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
    EXPECT_EQ(test::readFile(rig.folder / "setting.ini"),
              "45\r\n30\r\n1\r\nops@example.com\r\nsecret\r\n+1555,+1666\r\n0\r\n1\r\n\r\n30\r\n0\r\n60\r\n"
              "*Separte multiple email address by ,\r\n720\r\n*Keep Empty if no SMS alert needed\r\n");
    ASSERT_TRUE(waitUntil([&] { return rig.port.controls().Label7.visible(); }));
    ASSERT_EQ(rig.simulator.requestLines().size(), 1);
    EXPECT_EQ(rig.simulator.requestLines()[0].toStdString(),
              "GET /txgate/php/sms_logon.php?email=ops@example.com&pwd=secret&now=2026-12-06%2007:05:09 HTTP/1.1");
    EXPECT_EQ(rig.port.controls().Label4.text(), "SMS Account : ops@example.com");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(rig.dialog(), nullptr);
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

TEST(AlertSettingDialogTest, EveryControlIsReachableByItsName) {
    DialogRig rig;
    for (const Control* control : rig.port.alertSetting().controls().all()) {
        const auto* widget = rig.dialog()->findChild<QWidget*>(QString::fromStdString(control->name()));
        ASSERT_NE(widget, nullptr) << control->name();
        EXPECT_EQ(widget->accessibleName().toStdString(), control->name());
    }
    for (const char* name : {"txtIpAddress", "cbxPortSel", "num_Timeout", "cmdSetting", "grdHotGrid", "txtLog",
                             "lblTimeinterval", "Label2", "Label4", "Label7", "Label1(3)"}) {
        const auto* widget = rig.window.findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(widget, nullptr) << name;
        EXPECT_EQ(widget->accessibleName(), QString::fromLatin1(name));
    }
}

} // namespace
} // namespace wardel::qt
