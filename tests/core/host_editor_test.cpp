#include "hosts/host_editor.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "hosts/host_list_file.h"
#include "support/test_rig.h"

namespace wardel {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TestRig;
using test::writeFile;
using Col = HostTable::Column;

constexpr const char* kNoHost = "Please input Host Name / IP address";
constexpr const char* kPortFormat = "Format error !! Input Port number inside () eg. ssh(22)";
constexpr const char* kNoSelection = "Need to select an entry from host table to remove !!";
constexpr const char* kUnfit = "Host Name / IP address, Port, Description and Timeout # can not contain \" or line "
                               "breaks !!";
constexpr const char* kSaveError = "Host File Save Error";
const std::string kEmptyTableFile = "\"\",\"\",\"\",\"\"\r\n";

class HostEditorTest : public ::testing::Test {
protected:
    void add(const std::string& host, const std::string& port = "WWW   (80)", const std::string& description = "",
             const std::string& limit = "5") {
        auto& c = rig.controls;
        c.txtIpAddress.setText(host);
        c.cbxPortSel.setText(port);
        c.Description.setText(description);
        c.num_Timeout.setText(limit);
        hosts().cmdAdd_Click();
    }
    HostEditor& hosts() { return rig.port.hosts(); }
    HostTable& grid() { return rig.grid; }
    fs::path hostFile() const { return rig.folder / "host.ini"; }
    std::string row(int r) const {
        const HostEntry e = rig.grid.entry(r);
        return e.host + "|" + e.port + "|" + e.lastStatus + "|" + e.description + "|" + e.alert + "|" + e.timeoutLimit +
               "|" + e.count;
    }
    int saveErrorsLogged() const {
        int n = 0;
        for (const std::string& line : rig.logLines())
            n += line.ends_with(std::string(" - ") + kSaveError);
        return n;
    }

    TestRig rig;
};

TEST_F(HostEditorTest, AddFillsTheEmptyRowThenAppends) {
    add("10.0.0.5");
    EXPECT_EQ(grid().rowCount(), 2);
    EXPECT_EQ(row(1), "10.0.0.5|80||||5|0");
    EXPECT_EQ(readFile(hostFile()), "\"10.0.0.5\",\"80\",\"\",\"5\"\r\n");

    add("db.local", "MYSQL (3306)", "orders, stock", "10");
    add("db.local", "MYSQL (3306)", "orders, stock", "10"); // no duplicate check
    EXPECT_EQ(grid().rowCount(), 4);
    EXPECT_EQ(row(2), "db.local|3306||orders, stock||10|0");
    EXPECT_EQ(row(3), row(2));
    EXPECT_EQ(readFile(hostFile()), "\"10.0.0.5\",\"80\",\"\",\"5\"\r\n"
                                    "\"db.local\",\"3306\",\"orders, stock\",\"10\"\r\n"
                                    "\"db.local\",\"3306\",\"orders, stock\",\"10\"\r\n");
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST_F(HostEditorTest, AddClearsHostAndDescriptionButKeepsPortAndThreshold) {
    add("h", "SSH   (22)", "desc", "15");
    const auto& c = rig.controls;
    EXPECT_EQ(c.txtIpAddress.text(), "");
    EXPECT_EQ(c.Description.text(), "");
    EXPECT_EQ(c.cbxPortSel.text(), "SSH   (22)");
    EXPECT_EQ(c.num_Timeout.text(), "15");
}

TEST_F(HostEditorTest, AddIntoRowOneLeavesTheMonitoringCellsAlone) {
    grid().setCell(1, Col::colLastStatus, "Down(07:00:00)");
    add("h");
    EXPECT_EQ(row(1), "h|80|Down(07:00:00)|||5|0");
}

TEST_F(HostEditorTest, BlankHostIsRefusedAndNothingIsSaved) {
    for (const char* host : {"", " ", "    "}) {
        add(host, "WWW   (80)", "kept");
        EXPECT_EQ(rig.messages.shown.back(), kNoHost);
        EXPECT_EQ(rig.controls.Description.text(), "kept");
    }
    EXPECT_EQ(rig.messages.shown.size(), 3u);
    EXPECT_EQ(grid().rowCount(), 2);
    EXPECT_EQ(row(1), "||||||");
    EXPECT_FALSE(fs::exists(hostFile()));

    add("  padded ");
    EXPECT_EQ(grid().cell(1, Col::colHost), "  padded ");
}

TEST_F(HostEditorTest, PortIsWhatStandsBetweenTheParentheses) {
    struct Case {
        const char* text;
        const char* port;
        bool formatMessage;
    } const cases[] = {
        {"WWW   (80)", "80", false}, {"Others (??\?\?)", "????", false},
        {"ssh(22)", "22", false},    {"IMAP (443)", "443", false},
        {"( 8 0 )", " 8 0 ", false}, {"()", "", false},
        {")(", "", false},           {"x)(80)", "", false},
        {"8080", "", true},          {"(8080", "", true},
        {"8080)", "", true},         {"", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        rig.messages.shown.clear();
        add("h", c.text);
        EXPECT_EQ(grid().cell(grid().lastRow(), Col::colPort), c.port);
        EXPECT_EQ(rig.messages.shown,
                  c.formatMessage ? std::vector<std::string>{kPortFormat} : std::vector<std::string>{});
    }
    // The entry is added and saved even when the port was refused.
    EXPECT_EQ(grid().rowCount(), 1 + static_cast<int>(std::size(cases)));
    EXPECT_EQ(parseHostList(readFile(hostFile())).size(), std::size(cases));
}

TEST_F(HostEditorTest, QuoteOrLineBreakInAnyFieldIsRefused) {
    struct Case {
        const char* host;
        const char* port;
        const char* description;
        const char* limit;
    } const cases[] = {
        {"a\"b", "WWW   (80)", "", "5"},        {"a\r\nb", "WWW   (80)", "", "5"},
        {"ab\n", "WWW   (80)", "", "5"},        {"h", "WWW   (8\"0)", "", "5"},
        {"h", "WWW   (8\r0)", "", "5"},         {"h", "WWW   (80)", "say \"hi\"", "5"},
        {"h", "WWW   (80)", "two\rlines", "5"}, {"h", "WWW   (80)", "", "5\""},
        {"h", "WWW   (80)", "", "5\n"},
    };
    for (const auto& c : cases) {
        add(c.host, c.port, c.description, c.limit);
        EXPECT_EQ(rig.messages.shown.back(), kUnfit);
        EXPECT_EQ(rig.controls.txtIpAddress.text(), c.host); // left for the operator to correct
    }
    EXPECT_EQ(rig.messages.shown.size(), std::size(cases));
    EXPECT_EQ(row(1), "||||||");
    EXPECT_FALSE(fs::exists(hostFile()));

    // A quote outside the parentheses never reaches the file.
    add("h", "my \"web\" (80)");
    EXPECT_EQ(row(1), "h|80||||5|0");
}

TEST_F(HostEditorTest, DeletingTheOnlyEntryLeavesTheEmptyTable) {
    add("h", "WWW   (80)", "d");
    grid().setCell(1, Col::colLastStatus, "ALIVE(07:05:09)");
    grid().setCell(1, Col::colAlert, "1");
    hosts().grdHotGrid_Click(1);
    hosts().cmdDelete_Click();
    EXPECT_EQ(grid().rowCount(), 2);
    EXPECT_EQ(row(1), "||||||");
    EXPECT_EQ(readFile(hostFile()), kEmptyTableFile);

    TestRig restarted;
    writeFile(restarted.folder / "host.ini", kEmptyTableFile);
    restarted.port.hosts().LoadHostList();
    EXPECT_EQ(restarted.grid.rowCount(), 2);
    EXPECT_EQ(restarted.grid.cell(1, Col::colHost), "");
    EXPECT_EQ(restarted.grid.cell(1, Col::colCount), "");
}

TEST_F(HostEditorTest, DeleteRemovesTheSelectedRowAndClearsTheSelection) {
    add("a");
    add("b");
    add("c");
    hosts().grdHotGrid_Click(2);
    EXPECT_TRUE(rig.port.hosts().rowSelected());
    EXPECT_EQ(grid().currentRow(), 2);

    hosts().cmdDelete_Click();
    EXPECT_EQ(grid().rowCount(), 3);
    EXPECT_EQ(grid().cell(1, Col::colHost), "a");
    EXPECT_EQ(grid().cell(2, Col::colHost), "c");
    EXPECT_FALSE(rig.port.hosts().rowSelected());
    EXPECT_EQ(grid().currentRow(), 0);
    EXPECT_EQ(readFile(hostFile()), "\"a\",\"80\",\"\",\"5\"\r\n\"c\",\"80\",\"\",\"5\"\r\n");
    EXPECT_TRUE(rig.messages.shown.empty());

    // Every Delete clears the selection, so a second one has nothing to delete, yet saves all the same.
    fs::remove(hostFile());
    hosts().cmdDelete_Click();
    EXPECT_EQ(rig.messages.shown, std::vector<std::string>{kNoSelection});
    EXPECT_EQ(grid().rowCount(), 3);
    EXPECT_EQ(readFile(hostFile()), "\"a\",\"80\",\"\",\"5\"\r\n\"c\",\"80\",\"\",\"5\"\r\n");
}

TEST_F(HostEditorTest, OnlyAClickOnADataRowOfAnEnabledGridSelects) {
    add("a");
    add("b");
    for (int row : {0, -1, 3, 99}) {
        hosts().grdHotGrid_Click(row);
        EXPECT_FALSE(rig.port.hosts().rowSelected()) << row;
        EXPECT_EQ(grid().currentRow(), 0) << row;
    }
    grid().setEnabled(false);
    hosts().grdHotGrid_Click(1);
    EXPECT_FALSE(rig.port.hosts().rowSelected());

    grid().setEnabled(true);
    hosts().grdHotGrid_Click(2);
    hosts().grdHotGrid_Click(0); // the heading selects nothing and leaves the selection
    EXPECT_TRUE(rig.port.hosts().rowSelected());
    EXPECT_EQ(grid().currentRow(), 2);
}

TEST_F(HostEditorTest, LoadPlacesRecordsAsAnAddDoes) {
    writeFile(hostFile(), "\"\",\"1\",\"\",\"\"\r\n" // an empty host into the empty slot leaves it empty
                          "\"10.0.0.5\",\"80\",\"web, mail\",\"5\"\r\n"
                          "\"\",\"22\",\"no host\",\"3\"\r\n" // once row 1 is filled, even this is appended
                          "\" db \",\"????\",\"\",\"\"\r\n");
    hosts().LoadHostList();
    EXPECT_EQ(grid().rowCount(), 4);
    EXPECT_EQ(row(1), "10.0.0.5|80||web, mail||5|0");
    EXPECT_EQ(row(2), "|22||no host||3|0");
    EXPECT_EQ(row(3), " db |????|||||0");
    EXPECT_TRUE(rig.messages.shown.empty());
    EXPECT_TRUE(rig.logLines().empty());
    EXPECT_FALSE(fs::exists(rig.folder / "setting.ini"));
}

TEST_F(HostEditorTest, LoadWithoutAReadableFileLeavesTheEmptyTable) {
    hosts().LoadHostList();
    fs::create_directory(hostFile());
    hosts().LoadHostList();
    EXPECT_EQ(grid().rowCount(), 2);
    EXPECT_EQ(row(1), "||||||");
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST_F(HostEditorTest, SavedTableLoadsBackWithFreshMonitoringCells) {
    add("10.0.0.5", "WWW   (80)", "front, back", "5");
    add("  spaced", "Others (??\?\?)", "", "20");
    grid().setCell(1, Col::colLastStatus, "Down(07:05:09)");
    grid().setCell(1, Col::colAlert, "1");
    grid().setCell(1, Col::colCount, "7");

    TestRig restarted;
    writeFile(restarted.folder / "host.ini", readFile(hostFile()));
    restarted.port.hosts().LoadHostList();
    const HostTable& loaded = restarted.grid;
    ASSERT_EQ(loaded.rowCount(), 3);
    EXPECT_EQ(loaded.entry(1).description, "front, back");
    EXPECT_EQ(loaded.entry(1).lastStatus, "");
    EXPECT_EQ(loaded.entry(1).alert, "");
    EXPECT_EQ(loaded.entry(1).count, "0");
    EXPECT_EQ(loaded.entry(2).host, "  spaced");
    EXPECT_EQ(loaded.entry(2).port, "????");
    EXPECT_EQ(*formatHostList(loaded), readFile(hostFile()));
}

TEST_F(HostEditorTest, DamagedFilesLoadWhatCanBePlaced) {
    const std::string files[] = {
        std::string("\0\xff\x01\"\r\r\n,,,\"", 11),
        "\"unterminated",
        "\n\n\n",
        ",,,,,,,,,",
        "\"a\",\"1\"",
        std::string(100000, '"'),
        std::string(100000, ','),
    };
    for (const std::string& content : files) {
        TestRig fresh;
        writeFile(fresh.folder / "host.ini", content);
        fresh.port.hosts().LoadHostList();
        EXPECT_GE(fresh.grid.rowCount(), 2);
        EXPECT_TRUE(fresh.messages.shown.empty());
        // Whatever was placed can be written back.
        EXPECT_TRUE(formatHostList(fresh.grid).has_value());
    }
}

TEST_F(HostEditorTest, ReadOnlyFileIsAFailedSaveAndKeepsTheGridChange) {
    add("a");
    const std::string before = readFile(hostFile());
    fs::permissions(hostFile(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read,
                    fs::perm_options::replace);

    add("b");
    hosts().grdHotGrid_Click(1);
    hosts().cmdDelete_Click();
    EXPECT_EQ(grid().rowCount(), 2);
    EXPECT_EQ(grid().cell(1, Col::colHost), "b");
    EXPECT_EQ(rig.messages.shown, (std::vector<std::string>{kSaveError, kSaveError}));
    EXPECT_EQ(saveErrorsLogged(), 2);
    EXPECT_EQ(readFile(hostFile()), before);

    // The next change tries again.
    fs::permissions(hostFile(), fs::perms::owner_write, fs::perm_options::add);
    add("c");
    EXPECT_EQ(readFile(hostFile()), "\"b\",\"80\",\"\",\"5\"\r\n\"c\",\"80\",\"\",\"5\"\r\n");
    EXPECT_EQ(rig.messages.shown.size(), 2u);
}

TEST_F(HostEditorTest, SaveFailsWhereNoFileCanBeWritten) {
    fs::create_directory(hostFile());
    add("a");
    EXPECT_EQ(row(1), "a|80||||5|0");
    EXPECT_EQ(rig.messages.shown, std::vector<std::string>{kSaveError});
    EXPECT_EQ(saveErrorsLogged(), 1);
    EXPECT_TRUE(fs::is_directory(hostFile()));

    TestRig underFile({2026, 12, 6, 7, 5, 9}, "plain");
    writeFile(underFile.folder / "plain", "x");
    underFile.controls.txtIpAddress.setText("a");
    underFile.controls.cbxPortSel.setText("WWW   (80)");
    underFile.port.hosts().cmdAdd_Click();
    EXPECT_EQ(underFile.messages.shown, std::vector<std::string>{kSaveError});
    EXPECT_EQ(readFile(underFile.folder / "plain"), "x");
}

TEST_F(HostEditorTest, MoreThan32767EntriesIsAFailedSave) {
    std::vector<HostEntry> entries(kMaxHostListEntries - 2, HostEntry{"h", "80", "", "", "", "5", "0"});
    add("first");
    grid().appendRows(entries);
    add("last"); // entry 32,767 still fits
    EXPECT_TRUE(rig.messages.shown.empty());
    EXPECT_EQ(parseHostList(readFile(hostFile())).size(), static_cast<std::size_t>(kMaxHostListEntries));
    const std::string before = readFile(hostFile());

    add("one too many");
    EXPECT_EQ(grid().rowCount(), kMaxHostListEntries + 2);
    EXPECT_EQ(rig.messages.shown, std::vector<std::string>{kSaveError});
    EXPECT_EQ(readFile(hostFile()), before);

    hosts().grdHotGrid_Click(grid().lastRow());
    hosts().cmdDelete_Click();
    EXPECT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(readFile(hostFile()), before);
}

} // namespace
} // namespace wardel
