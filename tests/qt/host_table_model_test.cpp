#include "ui/host_table_model.h"

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTableView>

#include <gtest/gtest.h>

#include <map>

#include "support/test_rig.h"

namespace wardel::qt {
namespace {

// Collects the model tester's complaints, which it reports as warnings of its own category.
class TesterComplaints {
public:
    TesterComplaints() {
        complaints().clear();
        previous_ = qInstallMessageHandler(&TesterComplaints::handle);
    }
    ~TesterComplaints() { qInstallMessageHandler(previous_); }
    static QStringList& complaints() {
        static QStringList list;
        return list;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (type != QtDebugMsg && context.category && QByteArray(context.category).startsWith("qt.modeltest"))
            complaints().append(message);
    }
    QtMessageHandler previous_;
};

HostEntry entryFor(const std::string& host) {
    return HostEntry{host, "80", "", "", "", "5", "0"};
}

class HostTableModelTest : public ::testing::Test {
protected:
    HostTableModelTest() {
        const char* headings[] = {
            "Host Name / IP Address", "Port", "Last Status", "Description", "Alert", "Timeout #", "Count"};
        for (int column = 0; column < HostTable::kColumns; ++column)
            table.setCell(0, column, headings[column]);
    }
    HostTable table;
};

TEST_F(HostTableModelTest, PassesTheModelTesterThroughEveryKindOfChange) {
    TesterComplaints complaints;
    HostTableModel model(table);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy layouts(&model, &QAbstractItemModel::layoutChanged);

    table.setCell(1, HostTable::colHost, "first");
    table.appendRow();
    table.appendRows({entryFor("a"), entryFor("b"), entryFor("c")});
    table.setCell(3, HostTable::colLastStatus, "ALIVE(07:05:09)");
    table.setCell(0, HostTable::colCount, "Count");
    table.removeRow(1);
    table.removeRow(table.lastRow());
    table.appendRows({});

    EXPECT_TRUE(TesterComplaints::complaints().isEmpty()) << TesterComplaints::complaints().join('\n').toStdString();
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(layouts.count(), 0);
    EXPECT_EQ(model.rowCount(), table.rowCount() - 1);
}

TEST_F(HostTableModelTest, ShowsDataRowsUnderTheHeadingRow) {
    HostTableModel model(table);
    table.setCell(1, HostTable::colHost, "10.0.0.5");
    table.setCell(1, HostTable::colLastStatus, "Down(07:05:09)");
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.columnCount(), 7);
    EXPECT_EQ(model.data(model.index(0, 0), Qt::DisplayRole).toString(), "10.0.0.5");
    EXPECT_EQ(model.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "Last Status");
    EXPECT_FALSE(model.headerData(0, Qt::Vertical, Qt::DisplayRole).isValid());
    EXPECT_EQ(model.data(model.index(0, 2), Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);
    EXPECT_EQ(model.data(model.index(0, 0), Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_FALSE(model.data(model.index(0, 0), Qt::EditRole).isValid());
    EXPECT_FALSE(model.data(model.index(5, 0), Qt::DisplayRole).isValid());
}

TEST_F(HostTableModelTest, HandsTheViewAtMostTheFirst1024CharactersOfACell) {
    HostTableModel model(table);
    const std::string euro = "\u20ac";     // three bytes in UTF-8
    const std::string face = "\U0001F600"; // four bytes, two UTF-16 units
    auto repeat = [](const std::string& text, int times) {
        std::string out;
        for (int i = 0; i < times; ++i)
            out += text;
        return out;
    };
    const QString ellipsis(QChar(0x2026));
    const struct {
        std::string cell;
        QString shown;
    } cases[] = {
        {std::string(1024, 'a'), QString(1024, 'a')},
        {std::string(1025, 'a'), QString(1024, 'a') + ellipsis},
        {std::string(1023, 'a') + euro + std::string(10'000'000, 'b'),
         QString(1023, 'a') + QString::fromStdString(euro) + ellipsis},
        {repeat(face, 1025), QString::fromStdString(repeat(face, 1024)) + ellipsis},
    };
    for (const auto& c : cases) {
        table.setCell(1, HostTable::colDescription, c.cell);
        const QModelIndex cell = model.index(0, HostTable::colDescription);
        EXPECT_EQ(model.data(cell, Qt::DisplayRole).toString(), c.shown) << c.cell.size();
        EXPECT_EQ(model.data(cell, Qt::ToolTipRole).toString(), c.shown) << c.cell.size();
        EXPECT_EQ(table.cell(1, HostTable::colDescription), c.cell);
    }
}

TEST_F(HostTableModelTest, CellWriteIsOneDataChangedForThatCell) {
    HostTableModel model(table);
    table.appendRow();
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy headers(&model, &QAbstractItemModel::headerDataChanged);
    table.setCell(2, HostTable::colCount, "3");
    table.setCell(2, HostTable::colCount, "3"); // same text: nothing to tell
    table.setCell(0, HostTable::colAlert, "Alert!");
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex(), model.index(1, HostTable::colCount));
    EXPECT_EQ(changed[0][1].toModelIndex(), model.index(1, HostTable::colCount));
    ASSERT_EQ(headers.count(), 1);
    EXPECT_EQ(headers[0][1].toInt(), HostTable::colAlert);
}

TEST_F(HostTableModelTest, OperatorSelectionStaysOnItsEntry) {
    HostTableModel model(table);
    table.setCell(1, HostTable::colHost, "a");
    table.appendRows({entryFor("b"), entryFor("c"), entryFor("d")});
    QTableView view;
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::SingleSelection);
    view.setModel(&model);
    view.show();
    QItemSelectionModel& selection = *view.selectionModel();
    selection.setCurrentIndex(model.index(2, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    auto selectedHost = [&] {
        const auto rows = selection.selectedRows();
        return rows.size() == 1 ? rows[0].data().toString().toStdString() : std::string("none");
    };
    ASSERT_EQ(selectedHost(), "c");

    // The engine writes status cells everywhere, the selected row included; Add and load append rows.
    for (int row = 1; row <= table.lastRow(); ++row)
        for (int column : {HostTable::colLastStatus, HostTable::colAlert, HostTable::colCount})
            table.setCell(row, column, "x" + std::to_string(row));
    table.appendRow();
    table.setCell(table.lastRow(), HostTable::colHost, "e");
    table.appendRows({entryFor("f")});
    EXPECT_EQ(selectedHost(), "c");
    EXPECT_EQ(view.currentIndex().row(), 2);

    // Removing a row above or below leaves the highlight on the same entry.
    table.removeRow(table.lastRow());
    table.removeRow(1);
    EXPECT_EQ(selectedHost(), "c");
    EXPECT_EQ(view.currentIndex().row(), 1);
}

TEST_F(HostTableModelTest, PassesOnEnabledStateAndCurrentRow) {
    HostTableModel model(table);
    table.appendRows({entryFor("a"), entryFor("b")});
    QSignalSpy enabled(&model, &HostTableModel::gridEnabledChanged);
    QSignalSpy current(&model, &HostTableModel::gridCurrentRowChanged);
    table.setEnabled(false);
    table.setEnabled(false);
    table.setCurrentRow(2);
    table.removeRow(2);
    ASSERT_EQ(enabled.count(), 1);
    EXPECT_FALSE(enabled[0][0].toBool());
    ASSERT_EQ(current.count(), 2);
    EXPECT_EQ(current[0][0].toInt(), 2);
    EXPECT_EQ(current[1][0].toInt(), 0);
}

TEST_F(HostTableModelTest, TableOutlivesItsModel) {
    { HostTableModel model(table); }
    table.appendRow();
    table.setCell(2, HostTable::colHost, "still fine");
    table.removeRow(2);
    EXPECT_EQ(table.rowCount(), 2);
}

// The Last Status tooltip tells since when the target has been in its state and when it last answered, as of
// the clock, and the history moves with its row when a row above it is deleted.
TEST(HostTableModelTip, LastStatusTipTellsTheRowsHistoryAndMovesWithItsRow) {
    test::TestRig rig({2026, 12, 6, 9, 0, 0});
    test::writeFile(rig.folder / "host.ini",
                    "\"a\",\"1\",\"\",\"5\"\r\n\"b\",\"2\",\"\",\"5\"\r\n\"c\",\"3\",\"\",\"5\"\r\n");
    std::map<std::string, int> answers{
        {"a", ProbeSocket::Connected}, {"b", ProbeSocket::Error}, {"c", ProbeSocket::Connected}};
    rig.socket.onConnect = [&](const std::string& host, std::int32_t) { rig.socket.setState(answers[host]); };
    rig.port.Form_Load();
    HostTableModel model(rig.grid);
    auto tip = [&model](int viewRow) {
        return model.data(model.index(viewRow, HostTable::colLastStatus), Qt::ToolTipRole).toString().toStdString();
    };
    EXPECT_EQ(tip(0), "") << "never probed";

    rig.port.cmdMonitor_Click();
    rig.scheduler.advance(4000); // the first cycle
    answers["c"] = ProbeSocket::Error;
    rig.scheduler.advance(66000); // the second
    rig.port.cmdMonitor_Click();
    rig.scheduler.advanceTo({2026, 12, 6, 9, 12, 0});

    EXPECT_EQ(tip(0), "Up since 09:00:01, 11 min; last answered 09:01:04");
    EXPECT_EQ(tip(1), "Down since 09:00:02, 11 min; never answered");
    EXPECT_EQ(tip(2), "Down since 09:01:06, 10 min; last answered 09:00:03");
    EXPECT_EQ(model.data(model.index(2, HostTable::colLastStatus), Qt::DisplayRole).toString(),
              QStringLiteral("Down(09:01:06)"));

    rig.port.grdHotGrid_Click(1);
    rig.port.cmdDelete_Click();
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(tip(0), "Down since 09:00:02, 11 min; never answered");
    EXPECT_EQ(tip(1), "Down since 09:01:06, 10 min; last answered 09:00:03");
}

} // namespace
} // namespace wardel::qt
