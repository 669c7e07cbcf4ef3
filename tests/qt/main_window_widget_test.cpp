#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QTextBlock>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/sms_port.h"
#include "platform/qt/program_end.h"
#include "support/test_rig.h"
#include "ui/cursor_blink_rest.h"
#include "ui/main_window.h"

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace wardel::qt {
namespace {

using test::FakeMessageBox;
using test::FakeScheduler;
using test::FakeShell;
using test::FakeSocket;
using test::FakeTray;
using test::FakeUrlFetcher;

// The real main window over the whole model on fakes and virtual time.
struct WindowRig {
    WindowRig() {
        window.setProgramEnder([this] { ++programEnds; });
        window.attach(port);
    }
    ~WindowRig() {
        window.detach();
        programEndedFlag() = false;
    }

    template <typename W> W* widget(const char* name) {
        auto* found = window.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QTableView* grid() { return widget<QTableView>("grdHotGrid"); }
    // The lines of txtLog, top first, without the empty line after the last line end.
    QStringList logLines() {
        QStringList lines = widget<QPlainTextEdit>("txtLog")->toPlainText().split(QLatin1Char('\n'));
        lines.removeLast();
        return lines;
    }

    test::TempFolder folder;
    FakeScheduler scheduler;
    FakeSocket socket;
    FakeUrlFetcher mainReader;
    FakeUrlFetcher creditReader;
    FakeMessageBox messages;
    FakeTray tray;
    FakeShell shell;
    MainWindow window;
    Platform platform{scheduler, scheduler, socket, mainReader, creditReader, messages, tray, shell, window};
    SMSPort port{platform, folder.path()};
    MainControls& controls = port.controls();
    HostTable& table = port.grid(); // grdHotGrid's model side
    LogBox& logBox = port.logBox();
    EventLog& log = port.eventLog();
    int programEnds = 0;
};

TEST(MainWindowWidgetTest, ShowsTheStartUpState) {
    WindowRig rig;
    rig.port.Form_Load();

    EXPECT_EQ(rig.window.windowTitle(), QStringLiteral("Wardel V4.2 2026-12-06 07:05:09"));
    EXPECT_TRUE(rig.window.isVisible());
    auto* ports = rig.widget<QComboBox>("cbxPortSel");
    ASSERT_EQ(ports->count(), 12);
    EXPECT_EQ(ports->itemText(11), QStringLiteral("Others (????)"));
    EXPECT_EQ(ports->currentText(), QStringLiteral("WWW   (80)"));
    EXPECT_EQ(rig.widget<QComboBox>("num_Timeout")->currentText(), QStringLiteral("5"));
    EXPECT_EQ(rig.widget<QPushButton>("cmdMonitor")->text(), QStringLiteral("&Start Monitor"));
    EXPECT_TRUE(rig.widget<QLabel>("Label2")->isHidden());
    EXPECT_TRUE(rig.widget<QLabel>("Label7")->isHidden());
    EXPECT_FALSE(rig.widget<QLabel>("Label4")->isHidden());

    QTableView* grid = rig.grid();
    ASSERT_EQ(grid->model()->columnCount(), 7);
    EXPECT_EQ(grid->model()->rowCount(), 1); // the empty table's one blank row
    const int widths[] = {123, 40, 113, 133, 33, 53, 40};
    for (int column = 0; column < 7; ++column) {
        EXPECT_EQ(grid->model()->headerData(column, Qt::Horizontal).toString().toStdString(),
                  SMSPort::kGridHeadings[column]);
        EXPECT_EQ(grid->columnWidth(column), widths[column]) << column;
    }
    EXPECT_FALSE(grid->verticalHeader()->isVisible());
    EXPECT_EQ(rig.logLines().value(0).right(28), QStringLiteral("Wardel Program Start Running"));
}

// An untouched window lets the host field's cursor rest; the operator's next key or click wakes it again,
// and the key still reaches the field.
TEST(MainWindowWidgetTest, CursorRestsWhileUntouchedAndBlinksAgainOnTheNextTouch) {
    WindowRig rig;
    rig.port.Form_Load();
    QApplication::setCursorFlashTime(1000);
    auto* host = rig.widget<QLineEdit>("txtIpAddress");
    const std::function<void()> touches[] = {
        [host] { QTest::keyClicks(host, "h"); },
        [&rig] { QTest::mouseClick(rig.widget<QPushButton>("cmdLog"), Qt::LeftButton); },
    };
    {
        CursorBlinkRest rest(std::chrono::milliseconds(30));
        for (const auto& touch : touches) {
            EXPECT_TRUE(QTest::qWaitFor([&rest] { return rest.resting(); }, 5000));
            EXPECT_EQ(QApplication::cursorFlashTime(), 0);
            touch();
            EXPECT_FALSE(rest.resting());
            EXPECT_EQ(QApplication::cursorFlashTime(), 1000);
        }
        EXPECT_TRUE(QTest::qWaitFor([&rest] { return rest.resting(); }, 5000));
    }
    EXPECT_EQ(QApplication::cursorFlashTime(), 1000);
    EXPECT_EQ(host->text(), QStringLiteral("h"));
}

TEST(MainWindowWidgetTest, ControlsSitAtTheirTwipPositionsAndStayThereOnResize) {
    WindowRig rig;
    rig.port.Form_Load();
    const struct {
        const char* name;
        QRect geometry; // twips / 15; 0 for a size the toolkit chooses
    } cases[] = {
        {"txtIpAddress", {8, 24, 129, 19}}, {"Description", {280, 24, 257, 19}}, {"cbxPortSel", {144, 24, 121, 0}},
        {"num_Timeout", {216, 56, 49, 0}},  {"cmdAdd", {8, 88, 46, 25}},         {"cmdExit", {376, 88, 70, 25}},
        {"grdHotGrid", {8, 128, 538, 233}}, {"txtLog", {8, 376, 529, 97}},       {"Label4", {8, 528, 0, 0}},
    };
    EXPECT_EQ(rig.window.size(), QSize(556, 552));
    for (const bool resized : {false, true}) {
        if (resized)
            rig.window.resize(900, 700);
        for (const auto& c : cases) {
            const QRect actual = rig.window.findChild<QWidget*>(QString::fromLatin1(c.name))->geometry();
            EXPECT_EQ(actual.topLeft(), c.geometry.topLeft()) << c.name;
            if (c.geometry.width() > 0) {
                EXPECT_EQ(actual.width(), c.geometry.width()) << c.name;
            }
            if (c.geometry.height() > 0) {
                EXPECT_EQ(actual.height(), c.geometry.height()) << c.name;
            }
        }
    }
}

TEST(MainWindowWidgetTest, FollowsEveryControlValue) {
    WindowRig rig;
    rig.port.Form_Load();
    MainControls& c = rig.controls;

    c.Label2.setText("Checking 10.0.0.1 : 80");
    c.Label2.setVisible(true);
    c.cmdAdd.setEnabled(false);
    c.cmdMonitor.setText("&Stop Monitor");
    c.lblTimeout.setText("Connecting timeout values : 30 seconds");
    c.txtIpAddress.setText("db.example.lan");
    c.cbxPortSel.setText("ssh(22)");
    c.num_Timeout.select(10);
    c.SMSPort.setText("Wardel V4.2 2026-12-06 08:00:00");

    auto* label2 = rig.widget<QLabel>("Label2");
    EXPECT_FALSE(label2->isHidden());
    EXPECT_EQ(label2->text(), QStringLiteral("Checking 10.0.0.1 : 80"));
    // A longer caption widens its label rather than being cut.
    EXPECT_GE(label2->width(), label2->sizeHint().width());
    EXPECT_FALSE(rig.widget<QPushButton>("cmdAdd")->isEnabled());
    EXPECT_EQ(rig.widget<QPushButton>("cmdMonitor")->text(), QStringLiteral("&Stop Monitor"));
    EXPECT_EQ(rig.widget<QLabel>("lblTimeout")->text(), QStringLiteral("Connecting timeout values : 30 seconds"));
    EXPECT_EQ(rig.widget<QLineEdit>("txtIpAddress")->text(), QStringLiteral("db.example.lan"));
    EXPECT_EQ(rig.widget<QComboBox>("cbxPortSel")->currentText(), QStringLiteral("ssh(22)"));
    EXPECT_EQ(rig.widget<QComboBox>("num_Timeout")->currentText(), QStringLiteral("15"));
    EXPECT_EQ(rig.window.windowTitle(), QStringLiteral("Wardel V4.2 2026-12-06 08:00:00"));
}

TEST(MainWindowWidgetTest, OperatorEditsReachTheModelWithoutEcho) {
    WindowRig rig;
    rig.port.Form_Load();
    MainControls& c = rig.controls;

    auto* host = rig.widget<QLineEdit>("txtIpAddress");
    QTest::keyClicks(host, "10.0.0.9");
    EXPECT_EQ(c.txtIpAddress.text(), "10.0.0.9");
    EXPECT_EQ(host->cursorPosition(), 8);
    QTest::keyClicks(rig.widget<QLineEdit>("Description"), "core switch");
    EXPECT_EQ(c.Description.text(), "core switch");

    auto* ports = rig.widget<QComboBox>("cbxPortSel");
    ports->lineEdit()->selectAll();
    QTest::keyClicks(ports->lineEdit(), "web(8080)");
    EXPECT_EQ(c.cbxPortSel.text(), "web(8080)");
    EXPECT_EQ(ports->count(), 12); // typed text is not added to the list
    QTest::keyClick(ports->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(ports->count(), 12);

    // A list choice by the operator.
    auto* thresholds = rig.widget<QComboBox>("num_Timeout");
    thresholds->setCurrentIndex(11);
    emit thresholds->activated(11);
    EXPECT_EQ(c.num_Timeout.text(), "20");

    // Add takes the fields and clears host and description, which the window shows.
    QTest::mouseClick(rig.widget<QPushButton>("cmdAdd"), Qt::LeftButton);
    EXPECT_EQ(rig.table.cell(1, HostTable::colHost), "10.0.0.9");
    EXPECT_EQ(rig.table.cell(1, HostTable::colPort), "8080");
    EXPECT_EQ(rig.table.cell(1, HostTable::colTimeoutLimit), "20");
    EXPECT_TRUE(host->text().isEmpty());
    EXPECT_EQ(rig.grid()->model()->index(0, 3).data().toString(), QStringLiteral("core switch"));
}

TEST(MainWindowWidgetTest, ButtonsReachTheirHandlers) {
    WindowRig rig;
    rig.port.Form_Load();

    QTest::mouseClick(rig.widget<QPushButton>("cmdLog"), Qt::LeftButton);
    EXPECT_EQ(rig.shell.dialogFolder, rig.folder.path().string());
    EXPECT_EQ(rig.shell.dialogFilter, "LOG Files(log*.txt)");

    QTest::mouseClick(rig.widget<QPushButton>("cmdDelete"), Qt::LeftButton);
    EXPECT_EQ(rig.messages.shown.back(), "Need to select an entry from host table to remove !!");

    QTest::mouseClick(rig.widget<QPushButton>("cmdAdd"), Qt::LeftButton);
    EXPECT_EQ(rig.messages.shown.back(), "Please input Host Name / IP address");
}

TEST(MainWindowWidgetTest, ExitAndTheCloseBoxEndTheProgramOnce) {
    for (const bool closeBox : {false, true}) {
        WindowRig rig;
        rig.port.Form_Load();
        if (closeBox)
            rig.window.close();
        else
            QTest::mouseClick(rig.widget<QPushButton>("cmdExit"), Qt::LeftButton);

        EXPECT_EQ(rig.programEnds, 1) << closeBox;
        EXPECT_TRUE(programEnded());
        EXPECT_FALSE(rig.window.isVisible());
        EXPECT_EQ(rig.logLines().value(0).right(20), QStringLiteral("Wardel Program Ended"));
        EXPECT_FALSE(rig.tray.added);
        // Nothing the operator does any more reaches the model.
        rig.window.close();
        QTest::mouseClick(rig.widget<QPushButton>("cmdLog"), Qt::LeftButton);
        EXPECT_EQ(rig.programEnds, 1);
        EXPECT_TRUE(rig.shell.dialogFolder.empty());
    }
}

TEST(MainWindowWidgetTest, MinimisedWindowHidesOnlyWhenATrayIconCanBringItBack) {
    for (const bool trayAvailable : {true, false}) {
        WindowRig rig;
        rig.tray.isAvailable = trayAvailable;
        rig.port.Form_Load();
        ASSERT_TRUE(rig.window.isVisible());

        rig.window.setWindowState(Qt::WindowMinimized);
        EXPECT_EQ(rig.window.isVisible(), !trayAvailable) << trayAvailable;
        if (!trayAvailable)
            continue;

        rig.window.move(0, 0);
        rig.tray.doubleClick();
        EXPECT_TRUE(rig.window.isVisible());
        EXPECT_FALSE(rig.window.windowState() & Qt::WindowMinimized);
        const QRect area = rig.window.screen()->availableGeometry();
        EXPECT_LE((rig.window.frameGeometry().center() - area.center()).manhattanLength(), 2);
    }
}

// Fills the grid with `hosts` as rows 1..N.
void fillGrid(HostTable& grid, const std::vector<std::string>& hosts) {
    for (std::size_t i = 0; i < hosts.size(); ++i) {
        const int row = i == 0 ? 1 : grid.appendRow();
        grid.setCell(row, HostTable::colHost, hosts[i]);
    }
}

QPoint cellCentre(QTableView* grid, int viewRow) {
    return grid->visualRect(grid->model()->index(viewRow, 3)).center();
}

void clickCell(QTableView* grid, int viewRow, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(grid->viewport(), button, modifiers, cellCentre(grid, viewRow));
}

void drag(QTableView* grid, int fromViewRow, int toViewRow) {
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, cellCentre(grid, fromViewRow));
    QTest::mouseMove(grid->viewport(), cellCentre(grid, toViewRow));
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, cellCentre(grid, toViewRow));
}

void keys(QTableView* grid, std::initializer_list<Qt::Key> keys) {
    grid->setFocus();
    for (const Qt::Key key : keys)
        QTest::keyClick(grid, key);
}

int selectedViewRow(QTableView* grid) {
    const auto rows = grid->selectionModel()->selectedRows();
    return rows.size() == 1 ? rows.front().row() : -1;
}

std::vector<std::string> highlightedHosts(QTableView* grid) {
    std::vector<std::string> hosts;
    for (const QModelIndex& row : grid->selectionModel()->selectedRows())
        hosts.push_back(row.data().toString().toStdString());
    return hosts;
}

TEST(MainWindowWidgetTest, DeleteRemovesTheHighlightedRowWhateverTheOperatorDidToTheGrid) {
    using Grid = QTableView*;
    const struct {
        const char* name;
        std::function<void(Grid)> gestures;
        std::vector<std::string> highlighted;
    } cases[] = {
        {"plain click", [](Grid g) { clickCell(g, 2); }, {"k3"}},
        {"click on the heading",
         [](Grid g) {
             clickCell(g, 1);
             QTest::mouseClick(g->horizontalHeader()->viewport(), Qt::LeftButton, {},
                               QPoint(g->horizontalHeader()->sectionViewportPosition(3) + 5, 5));
         },
         {"k2"}},
        {"right click",
         [](Grid g) {
             clickCell(g, 1);
             clickCell(g, 3, Qt::RightButton);
         },
         {"k2"}},
        {"right click, nothing selected", [](Grid g) { clickCell(g, 3, Qt::RightButton); }, {}},
        {"press on one row, release on another",
         [](Grid g) {
             clickCell(g, 0);
             drag(g, 1, 3);
         },
         {"k1"}},
        {"drag, nothing selected", [](Grid g) { drag(g, 1, 2); }, {}},
        {"click below the rows",
         [](Grid g) {
             clickCell(g, 1);
             QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, QPoint(20, g->viewport()->height() - 3));
         },
         {"k2"}},
        {"Ctrl click on another row",
         [](Grid g) {
             clickCell(g, 1);
             clickCell(g, 2, Qt::LeftButton, Qt::ControlModifier);
         },
         {"k2"}},
        {"Shift click",
         [](Grid g) {
             clickCell(g, 0);
             clickCell(g, 3, Qt::LeftButton, Qt::ShiftModifier);
         },
         {"k1"}},
        {"arrow keys",
         [](Grid g) {
             clickCell(g, 0);
             keys(g, {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Down});
         },
         {"k3"}},
        {"Down, nothing selected", [](Grid g) { keys(g, {Qt::Key_Down}); }, {"k1"}},
    };
    for (const auto& c : cases) {
        WindowRig rig;
        rig.port.Form_Load();
        fillGrid(rig.table, {"k1", "k2", "k3", "k4"});
        QTableView* grid = rig.grid();
        c.gestures(grid);
        EXPECT_EQ(highlightedHosts(grid), c.highlighted) << c.name;

        QTest::mouseClick(rig.widget<QPushButton>("cmdDelete"), Qt::LeftButton);
        std::vector<std::string> left;
        for (int row = 1; row <= rig.table.lastRow(); ++row)
            left.push_back(rig.table.cell(row, HostTable::colHost));
        std::vector<std::string> expected{"k1", "k2", "k3", "k4"};
        for (const std::string& removed : c.highlighted)
            std::erase(expected, removed);
        EXPECT_EQ(left, expected) << c.name;
        EXPECT_EQ(rig.messages.shown.size(), c.highlighted.empty() ? 1U : 0U) << c.name;
        EXPECT_EQ(highlightedHosts(grid), std::vector<std::string>{}) << c.name;
    }
}

TEST(MainWindowWidgetTest, GridFollowsTheTablesSelectionAndEnabledState) {
    WindowRig rig;
    rig.port.Form_Load();
    fillGrid(rig.table, {"alpha", "beta", "gamma"});
    QTableView* grid = rig.grid();

    rig.table.setCurrentRow(3);
    EXPECT_EQ(selectedViewRow(grid), 2);
    // Removing a row above keeps the highlight on the same entry.
    rig.table.removeRow(1);
    EXPECT_EQ(selectedViewRow(grid), 1);
    rig.table.setCurrentRow(0);
    EXPECT_EQ(selectedViewRow(grid), -1);

    rig.table.setEnabled(false);
    EXPECT_FALSE(grid->isEnabled());
    clickCell(grid, 0);
    EXPECT_EQ(rig.table.currentRow(), 0);
    rig.table.setEnabled(true);
    EXPECT_TRUE(grid->isEnabled());
}

TEST(MainWindowWidgetTest, LogViewShowsNewestFirstAndDropsTheOldestAtTheEnd) {
    WindowRig rig;
    rig.log.WriteLog("\r\n"); // the oldest line: two empty text lines
    rig.log.WriteLog("one");
    rig.log.WriteLog("two");
    QStringList lines = rig.logLines();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("2026-12-06 07:05:09 - two"));
    EXPECT_EQ(lines[1], QStringLiteral("2026-12-06 07:05:09 - one"));
    EXPECT_EQ(lines[2], QString());
    EXPECT_EQ(lines[3], QString());

    // Fill the box to its cap: the CR LF line leaves as a whole, then "one".
    for (std::size_t i = 3; i < LogBox::kMaxLines; ++i)
        rig.logBox.prepend("line " + std::to_string(i));
    EXPECT_EQ(rig.logLines().size(), static_cast<qsizetype>(LogBox::kMaxLines) + 1);
    rig.logBox.prepend("newest");
    lines = rig.logLines();
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(LogBox::kMaxLines));
    EXPECT_EQ(lines.front(), QStringLiteral("newest"));
    EXPECT_EQ(lines.back(), QStringLiteral("2026-12-06 07:05:09 - one"));
    rig.logBox.prepend("newer still");
    EXPECT_EQ(rig.logLines().back(), QStringLiteral("2026-12-06 07:05:09 - two"));
}

TEST(MainWindowWidgetTest, LogViewPutsALineAddedAtTheEndBelowTheOldest) {
    WindowRig rig;
    rig.log.WriteLog("\r\n");
    rig.log.WriteLog("one");
    rig.logBox.append("below the oldest");
    EXPECT_EQ(rig.logLines(), (QStringList{QStringLiteral("2026-12-06 07:05:09 - one"), QString(), QString(),
                                           QStringLiteral("below the oldest")}));
}

TEST(MainWindowWidgetTest, AttachingShowsLinesAlreadyInTheBox) {
    WindowRig rig;
    rig.log.WriteLog("before");
    rig.window.detach();
    rig.log.WriteLog("while detached");
    rig.window.attach(rig.port);
    EXPECT_EQ(rig.logLines(), (QStringList{QStringLiteral("2026-12-06 07:05:09 - while detached"),
                                           QStringLiteral("2026-12-06 07:05:09 - before")}));
}

} // namespace
} // namespace wardel::qt
