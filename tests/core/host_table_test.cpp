#include "hosts/host_table.h"

#include <gtest/gtest.h>

namespace wardel {
namespace {

// Records the notifications with the row count the table had at each, so the order can be checked.
class Recorder : public HostTableObserver {
public:
    explicit Recorder(const HostTable& table) : table_(table) {}
    void cellChanged(int row, int column) override { add("cell", row, column); }
    void rowsAboutToBeInserted(int first, int last) override { add("insert?", first, last); }
    void rowsInserted(int first, int last) override { add("inserted", first, last); }
    void rowsAboutToBeRemoved(int first, int last) override { add("remove?", first, last); }
    void rowsRemoved(int first, int last) override { add("removed", first, last); }
    void enabledChanged() override { add("enabled", table_.enabled(), 0); }
    void currentRowChanged() override { add("current", table_.currentRow(), 0); }

    std::vector<std::string> events;

private:
    void add(const char* what, int a, int b) {
        events.push_back(std::string(what) + " " + std::to_string(a) + "," + std::to_string(b) + " rows " +
                         std::to_string(table_.rowCount()));
    }
    const HostTable& table_;
};

using Events = std::vector<std::string>;

TEST(HostTable, AnnouncesRowChangesBeforeAndReportsThemAfter) {
    HostTable table;
    Recorder seen(table);
    const Subscription observing = table.observe(seen);

    EXPECT_EQ(table.appendRow(), 2);
    EXPECT_EQ(table.appendRows({HostEntry{"a", "1", "", "", "", "5", "0"}, HostEntry{"b", "2", "", "", "", "5", "0"}}),
              3);
    EXPECT_EQ(table.appendRows({}), 5);
    table.setCell(4, HostTable::colHost, "b"); // unchanged text: no notification
    table.setCell(4, HostTable::colCount, "1");
    table.removeRow(2);
    EXPECT_EQ(seen.events,
              (Events{"insert? 2,2 rows 2", "inserted 2,2 rows 3", "insert? 3,4 rows 3", "inserted 3,4 rows 5",
                      "cell 4,6 rows 5", "remove? 2,2 rows 5", "removed 2,2 rows 4"}));
    EXPECT_EQ(table.entry(3).host, "b");
    EXPECT_EQ(table.entry(3).count, "1");
    EXPECT_THROW(table.removeRow(0), std::out_of_range);
    EXPECT_THROW(table.removeRow(4), std::out_of_range);
}

TEST(HostTable, SelectionFollowsItsEntryWhenRowsAreRemoved) {
    struct Case {
        int selected;
        int removed;
        int after;
        bool notified;
    } const cases[] = {{3, 1, 2, true}, {3, 3, 0, true}, {2, 3, 2, false}, {0, 1, 0, false}};
    for (const auto& c : cases) {
        HostTable table;
        table.appendRow();
        table.appendRow();
        table.setCurrentRow(c.selected);
        Recorder seen(table);
        const Subscription observing = table.observe(seen);
        table.removeRow(c.removed);
        EXPECT_EQ(table.currentRow(), c.after) << c.selected << " " << c.removed;
        EXPECT_EQ(seen.events.back().starts_with("current"), c.notified) << c.selected << " " << c.removed;
    }
}

} // namespace
} // namespace wardel
