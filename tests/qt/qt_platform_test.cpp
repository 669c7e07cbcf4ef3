#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QTest>
#include <QUrl>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/qt/program_end.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_message_box.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/qt_timer.h"
#include "platform/qt/qt_tray_icon.h"
#include "support/temp_folder.h"

namespace wardel::qt {
namespace {

// Each test may end the program; the next one starts with it running again.
class QtPlatformTest : public ::testing::Test {
protected:
    void TearDown() override { programEndedFlag() = false; }
};

// Lets the event loop run for `ms` and returns the number of ticks seen meanwhile.
int ticksWithin(Timer& timer, int ms) {
    int ticks = 0;
    const Subscription counting = timer.subscribeTick([&ticks] { ++ticks; });
    QTest::qWait(ms);
    return ticks;
}

// Waits (bounded) until the timer has ticked `count` times.
bool ticks(Timer& timer, int count) {
    int ticks = 0;
    const Subscription counting = timer.subscribeTick([&ticks] { ++ticks; });
    const bool reached = QTest::qWaitFor([&ticks, count] { return ticks >= count; }, 5000);
    return reached;
}

TEST_F(QtPlatformTest, ClockTellsTheLocalTimeQtTells) {
    QtClock clock;
    for (int reading = 0; reading < 2; ++reading) { // the second reading keeps the zone it read first
        const QDateTime before = QDateTime::currentDateTime().addMSecs(-1);
        const LocalDateTime now = clock.now();
        const QDateTime after = QDateTime::currentDateTime().addMSecs(1);
        const QDateTime told(QDate(now.year, now.month, now.day),
                             QTime(now.hour, now.minute, now.second, now.millisecond));
        EXPECT_LE(before, told) << reading;
        EXPECT_LE(told, after) << reading;
    }
}

TEST_F(QtPlatformTest, TimerTicksOnlyWhileEnabledWithAnInterval) {
    QtTimerSource source;
    auto running = source.createTimer(10, true);
    EXPECT_TRUE(ticks(*running, 3));
    running->setEnabled(false);
    EXPECT_EQ(ticksWithin(*running, 100), 0);

    auto disabled = source.createTimer(10, false);
    EXPECT_EQ(ticksWithin(*disabled, 100), 0);

    // An interval of 0 never ticks, even when enabled.
    auto zero = source.createTimer(0, true);
    EXPECT_EQ(ticksWithin(*zero, 100), 0);
    zero->setInterval(10);
    EXPECT_TRUE(ticks(*zero, 3));
}

TEST_F(QtPlatformTest, TimerChangingTheIntervalStartsAFreshInterval) {
    QtTimerSource source;
    auto timer = source.createTimer(400, true);
    QTest::qWait(250);
    // Without a fresh start the tick would fall due about 150 ms from here; with it, 400 ms from here.
    // A slow machine only makes the wait longer, so the lower bound holds under any load.
    QElapsedTimer sinceChange;
    sinceChange.start();
    timer->setInterval(400);
    ASSERT_TRUE(ticks(*timer, 1));
    EXPECT_GE(sinceChange.elapsed(), 390);
}

TEST_F(QtPlatformTest, NoTimerTicksAfterTheProgramEnded) {
    QtTimerSource source;
    auto timer = source.createTimer(10, true);
    markProgramEnded();
    EXPECT_EQ(ticksWithin(*timer, 100), 0);
}

// The operator clicks OK on the box on screen.
void clickOk(QtMessageBox& boxes) {
    ASSERT_NE(boxes.current(), nullptr);
    boxes.current()->button(QMessageBox::Ok)->click();
}

int visibleMessageBoxes() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        count += qobject_cast<QMessageBox*>(widget) && widget->isVisible() ? 1 : 0;
    return count;
}

TEST_F(QtPlatformTest, MessageBoxesShowOneAtATimeInOrder) {
    QtMessageBox boxes;
    std::vector<std::string> events;
    boxes.show("first", [&] {
        events.push_back("ok first");
        // Asked for while "second" waits: it comes after it.
        boxes.show("third", [&] { events.push_back("ok third"); });
    });
    boxes.show("second", [&] { events.push_back("ok second"); });
    events.push_back("returned");

    for (const char* text : {"first", "second", "third"}) {
        ASSERT_NE(boxes.current(), nullptr) << text;
        EXPECT_EQ(boxes.current()->text().toStdString(), text);
        EXPECT_EQ(visibleMessageBoxes(), 1);
        clickOk(boxes);
    }
    EXPECT_EQ(boxes.current(), nullptr);
    EXPECT_EQ(events, (std::vector<std::string>{"returned", "ok first", "ok second", "ok third"}));
}

// For the life of the object, the application's style puts icons on dialog buttons, as desktop themes do.
class ButtonIconStyle {
public:
    ButtonIconStyle() : previous_(QApplication::style()->name()) { QApplication::setStyle(new WithIcons); }
    ~ButtonIconStyle() { QApplication::setStyle(QStyleFactory::create(previous_)); }

private:
    struct WithIcons : QProxyStyle {
        int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                      QStyleHintReturn* data) const override {
            if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
                return 1;
            return QProxyStyle::styleHint(hint, option, widget, data);
        }
    };
    QString previous_;
};

TEST_F(QtPlatformTest, MessageBoxHasTheProgramTitleOneOkButtonAndNoIcon) {
    ButtonIconStyle style;
    QtMessageBox boxes;
    boxes.show("Please input Host Name / IP address");
    QMessageBox* box = boxes.current();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Wardel"));
    EXPECT_EQ(box->text(), QStringLiteral("Please input Host Name / IP address"));
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->buttons().size(), 1);
    EXPECT_EQ(box->standardButton(box->buttons().front()), QMessageBox::Ok);
    EXPECT_TRUE(box->buttons().front()->icon().isNull());
    // Escape or the close box closes it like OK, and the queue goes on.
    bool closed = false;
    boxes.show("next", [&closed] { closed = true; });
    box->reject();
    ASSERT_NE(boxes.current(), nullptr);
    EXPECT_EQ(boxes.current()->text(), QStringLiteral("next"));
    clickOk(boxes);
    EXPECT_TRUE(closed);
}

TEST_F(QtPlatformTest, MessageBoxContinuationDoesNotRunAfterTheProgramEnded) {
    QtMessageBox boxes;
    bool ran = false;
    boxes.show("logon failed", [&ran] { ran = true; });
    boxes.show("never shown");
    markProgramEnded();
    clickOk(boxes);
    EXPECT_FALSE(ran);
    EXPECT_EQ(boxes.current(), nullptr);
}

// Takes the URLs the shell hands to the desktop instead of starting an application.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher() {
        for (const char* scheme : {"file", "http", "https"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
    }
    ~UrlCatcher() override {
        for (const char* scheme : {"file", "http", "https"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    std::vector<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.push_back(url); }
};

TEST_F(QtPlatformTest, ShellOpensFilesAndWebAddressesWithTheDesktop) {
    UrlCatcher catcher;
    QtShell shell;
    EXPECT_TRUE(shell.openFile("/tmp/wardel logs/log_1206.txt"));
    EXPECT_TRUE(shell.openUrl("https://sms.textora.example/signup?a=1&b=2"));
    ASSERT_EQ(catcher.opened.size(), 2u);
    EXPECT_EQ(catcher.opened[0], QUrl::fromLocalFile(QStringLiteral("/tmp/wardel logs/log_1206.txt")));
    EXPECT_EQ(catcher.opened[1].toString(), QStringLiteral("https://sms.textora.example/signup?a=1&b=2"));
}

QFileDialog* openFileDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QFileDialog*>(widget); dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

TEST_F(QtPlatformTest, FileDialogReportsTheChosenFileAndNothingOnCancel) {
    test::TempFolder folder;
    test::writeFile(folder / "log_1206.txt", "2026-12-06 07:05:09 - Monitoring Started\r\n");
    const std::string chosenPath = (folder / "log_1206.txt").string();

    for (const bool accept : {true, false}) {
        QtShell shell;
        std::vector<std::string> chosen;
        shell.chooseExistingFile(folder.path().string(), "LOG Files(log*.txt)",
                                 [&chosen](const std::string& file) { chosen.push_back(file); });
        QFileDialog* dialog = openFileDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(QDir(dialog->directory()).canonicalPath(),
                  QDir(QString::fromStdString(folder.path().string())).canonicalPath());
        EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("LOG Files(log*.txt)")});
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
        if (accept) {
            dialog->selectFile(QString::fromStdString(chosenPath));
            static_cast<QDialog*>(dialog)->accept();
            EXPECT_EQ(chosen, std::vector<std::string>{chosenPath});
        } else {
            dialog->reject();
            EXPECT_TRUE(chosen.empty());
        }
        EXPECT_TRUE(QTest::qWaitFor([] { return openFileDialog() == nullptr; }, 1000));
    }
}

TEST_F(QtPlatformTest, TrayReportsOnlyTheDoubleClick) {
    QtTrayIcon tray{QIcon()};
    int doubleClicks = 0;
    const Subscription counting = tray.subscribeDoubleClick([&doubleClicks] { ++doubleClicks; });
    const struct {
        QSystemTrayIcon::ActivationReason reason;
        int expected;
    } cases[] = {{QSystemTrayIcon::Trigger, 0},
                 {QSystemTrayIcon::Context, 0},
                 {QSystemTrayIcon::MiddleClick, 0},
                 {QSystemTrayIcon::DoubleClick, 1}};
    for (const auto& c : cases) {
        doubleClicks = 0;
        emit tray.icon().activated(c.reason);
        EXPECT_EQ(doubleClicks, c.expected) << c.reason;
    }
    markProgramEnded();
    doubleClicks = 0;
    emit tray.icon().activated(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(doubleClicks, 0);
}

} // namespace
} // namespace wardel::qt

#include "qt_platform_test.moc"
