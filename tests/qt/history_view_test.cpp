#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <set>

#include <gtest/gtest.h>

#include "support/window_rig.h"
#include "ui/history_view.h"

namespace wardel::test {
namespace {

using Outcome = FinishedProbe::Outcome;
using Reason = FinishedProbe::Reason;
constexpr std::int64_t kMinute = 60'000;
constexpr std::int64_t kDay = HistoryStore::kDayMs;

// Two targets; the first with a known month of probes: an outage three days ago that raised its alert, and
// one still down.
struct HistoryRig : WindowRig {
    HistoryRig() {
        writeFile(folder / "host.ini", "\"db\",\"3306\",\"database\",\"3\"\r\n\"web\",\"80\",\"\",\"3\"\r\n");
        port.Form_Load();
        port.openHistory();
        const std::int64_t now = epochMs(scheduler.now());
        const auto probe = [](std::int64_t at, Outcome outcome, Reason reason = Reason::None, bool alert = false) {
            return HistoryStore::Probe{"db", "3306", at, outcome, reason, 0, outcome == Outcome::Alive ? 7 : -1, alert};
        };
        port.history().store().write(
            {probe(now - 10 * kDay, Outcome::Alive), probe(now - 3 * kDay, Outcome::Down, Reason::Refused, true),
             probe(now - 3 * kDay + kMinute, Outcome::Timeout, Reason::TimedOut),
             probe(now - 3 * kDay + 2 * kMinute, Outcome::Alive), probe(now - 30 * kMinute, Outcome::Alive),
             probe(now - 20 * kMinute, Outcome::Alive), probe(now - 10 * kMinute, Outcome::Alive),
             probe(now - 5 * kMinute, Outcome::Down, Reason::HostUnreachable)},
            now);
        window.show();
    }
    std::vector<qt::HistoryView*> views() {
        std::vector<qt::HistoryView*> found;
        for (QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (auto* view = dynamic_cast<qt::HistoryView*>(child))
                found.push_back(view);
        return found;
    }
    QPoint cellCentre(int viewRow) { return grid()->visualRect(grid()->model()->index(viewRow, 0)).center(); }
};

QString shown(qt::HistoryView* view, const char* accessibleName) {
    for (QLabel* label : view->findChildren<QLabel*>())
        if (label->accessibleName() == QLatin1String(accessibleName))
            return label->text();
    return {};
}

TEST(HistoryView, ADoubleClickShowsUptimeChartAndOutages) {
    HistoryRig rig;
    QTest::mouseDClick(rig.grid()->viewport(), Qt::LeftButton, {}, rig.cellCentre(0));
    ASSERT_EQ(rig.views().size(), 1u);
    qt::HistoryView* view = rig.views().front();
    EXPECT_EQ(view->windowTitle(), QStringLiteral("History of db 3306"));
    EXPECT_EQ(shown(view, "Uptime 24 hours"), QStringLiteral("75.00 %"));
    EXPECT_EQ(shown(view, "Uptime 7 days"), QStringLiteral("57.14 %"));
    EXPECT_EQ(shown(view, "Uptime 30 days"), QStringLiteral("62.50 %"));
    auto* outages = view->findChild<QTreeWidget*>();
    ASSERT_EQ(outages->topLevelItemCount(), 2);
    const QStringList expected[] = {{"still down", "5 min", "host unreachable", "no alert"},
                                    {"2 min", "refused", "alert raised"}};
    EXPECT_EQ(outages->topLevelItem(0)->text(1), expected[0][0]);
    for (int column = 2; column < 5; ++column) {
        EXPECT_EQ(outages->topLevelItem(0)->text(column), expected[0][column - 1]);
        EXPECT_EQ(outages->topLevelItem(1)->text(column), expected[1][column - 2]);
    }
    EXPECT_EQ(view->model().chart().size(), 4u); // five-minute buckets of the day
    QTest::mouseClick(view->findChildren<QPushButton*>().at(1), Qt::LeftButton);
    EXPECT_EQ(view->model().span(), HistoryWindow::Span::Week);
    EXPECT_EQ(view->model().chart().size(), 3u); // hourly figures of the week: 07:00 three days ago, 06:00, 07:00
    // A second double-click brings the same window forward.
    QTest::mouseDClick(rig.grid()->viewport(), Qt::LeftButton, {}, rig.cellCentre(0));
    EXPECT_EQ(rig.views().size(), 1u);
}

TEST(HistoryView, TheKeyboardOpensItAndReachesEveryPart) {
    HistoryRig rig;
    rig.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&rig.window));
    rig.grid()->setFocus();
    QTest::keyClick(rig.grid(), Qt::Key_Down); // chooses the first row
    QTest::keyClick(rig.grid(), Qt::Key_Down); // and the second
    QTest::keyClick(rig.grid(), Qt::Key_Return);
    ASSERT_EQ(rig.views().size(), 1u);
    qt::HistoryView* web = rig.views().front();
    EXPECT_EQ(shown(web, "Uptime 24 hours"), QStringLiteral("no probes"));
    web->close();
    QApplication::processEvents(); // lets the closed window go

    // The menu key and Shift+F10 open the chosen row's menu.
    for (const auto& [key, modifiers] : {std::pair{Qt::Key_Menu, Qt::KeyboardModifiers{}},
                                         std::pair{Qt::Key_F10, Qt::KeyboardModifiers{Qt::ShiftModifier}}}) {
        rig.window.activateWindow();
        QTest::keyClick(rig.grid(), key, modifiers);
        QMenu* menu = rig.grid()->findChild<QMenu*>();
        ASSERT_NE(menu, nullptr);
        menu->actions().front()->trigger();
        menu->close();
        ASSERT_EQ(rig.views().size(), 1u);
        rig.views().front()->close();
        QApplication::processEvents();
    }

    QTest::keyClick(rig.grid(), Qt::Key_Up);
    QTest::keyClick(rig.grid(), Qt::Key_Enter, Qt::KeypadModifier);
    qt::HistoryView* db = rig.views().front();
    db->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(db));
    std::set<QString> reached;
    for (int i = 0; i < 16; ++i) {
        QWidget* focused = QApplication::focusWidget();
        reached.insert(focused->accessibleName().isEmpty() ? focused->property("text").toString()
                                                           : focused->accessibleName());
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    // The span buttons are one stop, as radio buttons are; the arrow keys move among them.
    for (const char* part : {"Uptime 24 hours", "Uptime 7 days", "Uptime 30 days", "Chart of 24 hours", "Connect times",
                             "Outages", "&Refresh", "&Close"})
        EXPECT_TRUE(reached.count(QString::fromLatin1(part))) << part;
    db->findChildren<QPushButton*>().at(0)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget()->accessibleName(), QStringLiteral("Chart of 7 days"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(rig.views().empty());
}

} // namespace
} // namespace wardel::test
