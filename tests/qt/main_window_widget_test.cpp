#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTextBlock>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/sms_port.h"
#include "platform/qt/program_end.h"
#include "support/window_rig.h"
#include "ui/cursor_blink_rest.h"
#include "ui/ink.h"
#include "ui/main_window.h"

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace wardel::qt {
namespace {

using test::WindowRig;

TEST(MainWindowWidgetTest, ShowsTheGridWithItsColumnWidthsAndTheFirstLogLine) {
    WindowRig rig;
    rig.port.Form_Load();

    EXPECT_TRUE(rig.window.isVisible());
    QTableView* grid = rig.grid();
    ASSERT_EQ(grid->model()->columnCount(), 7);
    EXPECT_EQ(grid->model()->rowCount(), 1); // the empty table's one blank row
    const int widths[] = {123, 40, 113, 133, 33, 53, 40};
    for (int column = 0; column < 7; ++column)
        EXPECT_EQ(grid->columnWidth(column), widths[column]) << column;
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

// The rows of the grid that can be seen whole.
int rowsShown(QTableView* grid) {
    return grid->viewport()->height() / grid->rowHeight(0);
}

TEST(MainWindowWidgetTest, AGrownWindowGivesTheGridAndTheLogTheRoomAndKeepsTheRestInPlace) {
    const struct {
        const char* name;
        QSize asked;
        QSize size;
    } sizes[] = {
        {"the design size", {556, 552}, {556, 552}},
        {"larger", {900, 700}, {900, 700}},
        {"smaller than the design", {300, 200}, {556, 552}},
    };
    const struct {
        const char* name;
        QRect design; // twips / 15; 0 for a size the toolkit chooses
        int right;    // moves with the right edge (1) or widens with it (2)
        int bottom;   // moves with the bottom edge (1) or grows with it (2)
    } controls[] = {
        {"txtIpAddress", {8, 24, 129, 19}, 0, 0},  {"Description", {280, 24, 257, 19}, 0, 0},
        {"cbxPortSel", {144, 24, 121, 0}, 0, 0},   {"num_Timeout", {216, 56, 49, 0}, 0, 0},
        {"cmdAdd", {8, 88, 46, 25}, 0, 0},         {"cmdExit", {376, 88, 70, 25}, 0, 0},
        {"grdHotGrid", {8, 128, 538, 233}, 2, 2},  {"txtLog", {8, 376, 529, 97}, 2, 1},
        {"lblTimeinterval", {8, 480, 0, 0}, 0, 1}, {"lblTimeout", {344, 480, 0, 0}, 1, 1},
        {"Label4", {8, 528, 0, 0}, 0, 1},          {"Label7", {520, 528, 0, 0}, 1, 1},
    };
    WindowRig rig;
    rig.port.Form_Load();
    fillGrid(rig.table, std::vector<std::string>(40, "host"));
    std::vector<int> rows;
    for (const auto& size : sizes) {
        rig.window.resize(size.asked);
        QTest::qWait(1); // the grid lays out its rows and scroll bars on its next turn
        rows.push_back(rowsShown(rig.grid()));
        EXPECT_EQ(rig.window.size(), size.size) << size.name;
        const int dx = size.size.width() - 556;
        const int dy = size.size.height() - 552;
        for (const auto& c : controls) {
            const QWidget* widget = rig.window.findChild<QWidget*>(QString::fromLatin1(c.name));
            const QRect actual = widget->geometry();
            const QPoint at = c.design.topLeft() + QPoint(c.right == 1 ? dx : 0, c.bottom == 1 ? dy : 0);
            EXPECT_EQ(actual.topLeft(), at) << size.name << " " << c.name;
            if (c.design.width() > 0) {
                EXPECT_EQ(actual.width(), c.design.width() + (c.right == 2 ? dx : 0)) << size.name << " " << c.name;
            }
            if (c.design.height() > 0) {
                EXPECT_EQ(actual.height(), c.design.height() + (c.bottom == 2 ? dy : 0)) << size.name << " " << c.name;
            }
        }
        for (const QWidget* widget : rig.window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!widget->isHidden()) {
                EXPECT_TRUE(rig.window.rect().contains(widget->geometry()))
                    << size.name << " " << widget->objectName().toStdString();
            }
        }
        // The last column takes the spare width, and no more: a grown grid needs no horizontal scroll bar.
        if (dx == 0) {
            EXPECT_EQ(rig.grid()->columnWidth(6), 40) << size.name;
        } else {
            EXPECT_FALSE(rig.grid()->horizontalScrollBar()->isVisible()) << size.name;
            EXPECT_GT(rig.grid()->columnWidth(6), 40 + dx / 2) << size.name;
        }
    }
    // The grown grid shows more rows than one of the design size.
    EXPECT_GE(rows[1], rows[2] + (700 - 552) / rig.grid()->rowHeight(0));

    // A longer caption widens its label rather than being cut.
    rig.controls.Label2.setText("Current status : now 09:30:36 waiting 60 seconds for next start");
    rig.controls.Label2.setVisible(true);
    auto* label2 = rig.widget<QLabel>("Label2");
    EXPECT_GE(label2->width(), label2->sizeHint().width());
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

// The window in front, as the operator's keys find it.
void activate(QWidget* window) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

TEST(MainWindowWidgetTest, TabGoesOnThroughTheGridWithoutSelectingARow) {
    WindowRig rig;
    rig.port.Form_Load();
    fillGrid(rig.table, {"k1", "k2"});
    activate(&rig.window);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("txtIpAddress")); // the first box first
    rig.widget<QPushButton>("cmdExit")->setFocus(Qt::TabFocusReason);
    const struct {
        Qt::KeyboardModifiers modifiers;
        const char* focused;
    } steps[] = {
        {{}, "grdHotGrid"},
        {{}, "txtLog"},
        {Qt::ShiftModifier, "grdHotGrid"},
        {Qt::ShiftModifier, "cmdExit"},
        {{}, "grdHotGrid"},
        {{}, "txtLog"},
        {{}, "txtIpAddress"},
    };
    for (const auto& step : steps) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, step.modifiers);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), step.focused);
        EXPECT_EQ(rig.table.currentRow(), 0) << step.focused;
    }
    QTest::mouseClick(rig.widget<QPushButton>("cmdDelete"), Qt::LeftButton);
    EXPECT_EQ(rig.messages.shown.back(), "Need to select an entry from host table to remove !!");
    EXPECT_EQ(rig.table.lastRow(), 2);
}

TEST(MainWindowWidgetTest, EnterPressesTheFocusedButtonAndAddsFromTheTargetsFields) {
    const auto added = [](WindowRig& r) { return r.table.cell(1, HostTable::colHost) == "10.0.0.9"; };
    const auto dialogOpen = [](WindowRig& r) { return r.port.hasAlertSetting(); };
    const struct {
        const char* name;
        const char* focused;
        bool inDialog;
        Qt::Key key;
        std::function<bool(WindowRig&)> seen;
    } cases[] = {
        {"Return on View Log", "cmdLog", false, Qt::Key_Return,
         [](WindowRig& r) { return !r.shell.dialogFolder.empty(); }},
        {"Enter on Delete Entry", "cmdDelete", false, Qt::Key_Enter,
         [](WindowRig& r) { return r.messages.shown.size() == 1; }},
        {"Return in the host box", "txtIpAddress", false, Qt::Key_Return, added},
        {"Enter in the port box", "cbxPortSel", false, Qt::Key_Enter, added},
        {"Return in the description box", "Description", false, Qt::Key_Return, added},
        {"Return in the threshold box adds nothing", "num_Timeout", false, Qt::Key_Return,
         [](WindowRig& r) { return r.table.cell(1, HostTable::colHost).empty() && r.messages.shown.empty(); }},
        {"Return on Cancel", "Cancel", true, Qt::Key_Return, [](WindowRig& r) { return !r.port.hasAlertSetting(); }},
        {"Return in a box of the dialog saves nothing", "TimeInterval", true, Qt::Key_Return, dialogOpen},
    };
    for (const auto& c : cases) {
        WindowRig rig;
        rig.port.Form_Load();
        activate(&rig.window);
        QTest::keyClicks(rig.widget<QLineEdit>("txtIpAddress"), "10.0.0.9");
        QWidget* form = &rig.window;
        if (c.inDialog) {
            rig.port.cmdSetting_Click();
            form = rig.window.findChild<QDialog*>(QStringLiteral("alertSetting"));
            activate(form);
        }
        auto* widget = form->findChild<QWidget*>(QString::fromLatin1(c.focused));
        widget->setFocus(Qt::TabFocusReason);
        QTest::keyClick(widget, c.key);
        EXPECT_TRUE(c.seen(rig)) << c.name;
    }
}

// Every coloured text of both windows against its background, as the desktop's palette makes them.
TEST(MainWindowWidgetTest, ColouredTextsKeepTheirHueAndReadOnALightAndADarkWindow) {
    const QPalette original = QApplication::palette();
    const struct {
        const char* name;
        QColor window;
        QColor text;
    } palettes[] = {{"light", QColor(239, 239, 239), Qt::black}, {"dark", QColor(35, 35, 35), QColor(230, 230, 230)}};
    const struct {
        bool inDialog;
        const char* name;
        QColor specified;
    } inks[] = {
        {false, "lblTimeinterval", QColor(0, 0, 128)}, {false, "lblTimeout", QColor(0, 0, 128)},
        {false, "Label2", QColor(128, 0, 0)},          {true, "Label2", QColor(0, 0, 255)},
        {true, "SMS_Reset", QColor(0, 0, 255)},        {true, "Label3(5)", QColor(0, 0, 255)},
    };
    EXPECT_DOUBLE_EQ(contrastRatio(Qt::black, Qt::white), 21.0);
    for (const auto& p : palettes) {
        WindowRig rig;
        rig.port.Form_Load();
        rig.port.alertSetting().controls().Check2.click(); // the links enabled
        // The desktop changes its palette while the windows are open.
        QPalette palette = original;
        palette.setColor(QPalette::Window, p.window);
        palette.setColor(QPalette::WindowText, p.text);
        QApplication::setPalette(palette);
        auto* dialog = rig.window.findChild<QDialog*>(QStringLiteral("alertSetting"));
        for (const auto& ink : inks) {
            QWidget* form = ink.inDialog ? static_cast<QWidget*>(dialog) : &rig.window;
            auto* widget = form->findChild<QLabel*>(QString::fromLatin1(ink.name));
            const QColor shown = widget->palette().color(QPalette::Active, QPalette::WindowText);
            const QColor background = form->palette().color(QPalette::Active, QPalette::Window);
            EXPECT_GE(contrastRatio(shown, background), 4.5) << p.name << " " << ink.name;
            EXPECT_EQ(shown.hslHue(), ink.specified.hslHue()) << p.name << " " << ink.name;
            if (std::string_view(p.name) == "light") {
                EXPECT_EQ(shown, ink.specified) << ink.name;
            }
        }
    }
    QApplication::setPalette(original);
}

TEST(MainWindowWidgetTest, ADisabledLinkLooksLikeAnyDisabledText) {
    WindowRig rig;
    rig.port.Form_Load();
    auto* dialog = rig.window.findChild<QDialog*>(QStringLiteral("alertSetting"));
    for (const bool enabled : {false, true, false}) {
        if (rig.port.alertSetting().controls().Check2.checked() != enabled)
            rig.port.alertSetting().controls().Check2.click();
        for (const char* name : {"Label2", "SMS_Reset", "Label3(5)"}) {
            auto* link = dialog->findChild<QLabel*>(QString::fromLatin1(name));
            ASSERT_EQ(link->isEnabled(), enabled) << name;
            EXPECT_EQ(link->font().underline(), enabled) << name;
            EXPECT_EQ(link->palette().color(QPalette::Disabled, QPalette::WindowText),
                      dialog->palette().color(QPalette::Disabled, QPalette::WindowText))
                << name;
            EXPECT_EQ(link->palette().color(QPalette::Active, QPalette::WindowText), QColor(0, 0, 255)) << name;
        }
    }
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

        // What changes while the window is in the tray is shown as it comes back; the log view holds nothing
        // meanwhile and shows the box's lines again.
        auto* status = rig.widget<QLabel>("Label2");
        rig.controls.Label2.setText("Current status : in the tray");
        rig.log.WriteLog("in the tray");
        EXPECT_TRUE(rig.logLines().isEmpty());
        rig.window.move(0, 0);
        rig.tray.doubleClick();
        EXPECT_EQ(status->text(), QStringLiteral("Current status : in the tray"));
        EXPECT_EQ(rig.logLines().size(), static_cast<qsizetype>(rig.logBox.lineCount()));
        EXPECT_EQ(rig.logLines().value(0), QStringLiteral("2026-12-06 07:05:09 - in the tray"));
        EXPECT_GE(status->width(), status->fontMetrics().horizontalAdvance(status->text()));
        EXPECT_TRUE(rig.window.isVisible());
        EXPECT_FALSE(rig.window.windowState() & Qt::WindowMinimized);
        const QRect area = rig.window.screen()->availableGeometry();
        EXPECT_LE((rig.window.frameGeometry().center() - area.center()).manhattanLength(), 2);
    }
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

    rig.table.setCurrentRow(2);
    const QImage unblocked = grid->grab().toImage();
    rig.table.setEnabled(false);
    EXPECT_FALSE(grid->isEnabled());
    // Blocked as during a probe, in its normal colours.
    EXPECT_EQ(grid->grab().toImage(), unblocked);
    clickCell(grid, 0);
    EXPECT_EQ(rig.table.currentRow(), 2);
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
