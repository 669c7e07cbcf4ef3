#include "hosts/host_list_file.h"

#include <array>

#include <gtest/gtest.h>

namespace wardel {
namespace {

// The four fields of the file of each record: host, port, description, failure limit.
using Records = std::vector<std::array<std::string, 4>>;

Records fields(const std::vector<HostEntry>& entries) {
    Records records;
    for (const HostEntry& e : entries) {
        EXPECT_TRUE(e.lastStatus.empty() && e.alert.empty() && e.count.empty());
        records.push_back({e.host, e.port, e.description, e.timeoutLimit});
    }
    return records;
}

struct ParseCase {
    const char* name;
    std::string text;
    Records expected;
};

TEST(HostListParse, ReadsWhatTheWriterWritesAndWhatHandsLeave) {
    const ParseCase cases[] = {
        {"empty file", "", {}},
        {"one record", "\"10.0.0.5\",\"80\",\"\",\"5\"\r\n", {{"10.0.0.5", "80", "", "5"}}},
        {"two records",
         "\"a\",\"1\",\"x\",\"2\"\r\n\"b\",\"????\",\"y\",\"3\"\r\n",
         {{"a", "1", "x", "2"}, {"b", "????", "y", "3"}}},
        {"quoted field keeps its commas",
         "\"h\",\"22\",\"web, mail, db\",\"5\"\r\n",
         {{"h", "22", "web, mail, db", "5"}}},
        {"quoted field keeps its spaces", "\"  h \",\" 8 0 \",\"\",\"5\"\r\n", {{"  h ", " 8 0 ", "", "5"}}},
        {"empty table record", "\"\",\"\",\"\",\"\"\r\n", {{"", "", "", ""}}},
        {"lone LF and lone CR end lines",
         "\"a\",\"1\",\"\",\"5\"\n\"b\",\"2\",\"\",\"5\"\r",
         {{"a", "1", "", "5"}, {"b", "2", "", "5"}}},
        {"missing final line end", "\"a\",\"1\",\"d\",\"5\"", {{"a", "1", "d", "5"}}},
        {"blank lines are skipped",
         "\r\n\"a\",\"1\",\"\",\"5\"\r\n  \r\n\t\r\n\"b\",\"2\",\"\",\"5\"\r\n\r\n",
         {{"a", "1", "", "5"}, {"b", "2", "", "5"}}},
        {"unquoted fields are trimmed",
         "  a.example , 80,  some text  ,5 \r\n",
         {{"a.example", "80", "some text", "5"}}},
        {"blanks before a quote are dropped", " \"a\", \"1\" ,\t\"d\",\"5\"\r\n", {{"a", "1", "d", "5"}}},
        {"fields are counted, not lines",
         "\"a\",\"1\"\r\n\"d\",\"5\"\r\n\"b\",\"2\",\"e\",\"6\",\"extra\"\r\n",
         {{"a", "1", "d", "5"}, {"b", "2", "e", "6"}, {"extra", "", "", ""}}},
        {"trailing comma gives an empty field", "\"a\",\"1\",\"d\",\r\n", {{"a", "1", "d", ""}}},
        {"comma at the very end", "\"a\",\"1\",\"d\",", {{"a", "1", "d", ""}}},
        {"last record cut short", "\"a\",\"1\",\"d\",\"5\"\r\n\"b\",\"2\"", {{"a", "1", "d", "5"}, {"b", "2", "", ""}}},
        {"a quote ends at the next quote", "\"a,\"1\",\"d\",\"5\"\r\n", {{"a,", "d", "5", ""}}},
        {"unterminated quote ends at its line",
         "\"a\",\"1\",\"d,5\r\n\"b\",\"2\",\"e\",\"6\"\r\n",
         {{"a", "1", "d,5", "b"}, {"2", "e", "6", ""}}},
        {"unterminated quote at the end of the text", "\"a\",\"1\",\"d\",\"5", {{"a", "1", "d", "5"}}},
        {"text after a closing quote is dropped", "\"a\"x,\"1\" y,\"d\",\"5\"\r\n", {{"a", "1", "d", "5"}}},
        {"stray quote inside an unquoted field", "ho\"st,80,d\"\",5\r\n", {{"host", "80", "d", "5"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fields(parseHostList(c.text)), c.expected);
    }
}

TEST(HostListParse, NoFieldEverHoldsAQuoteOrLineEnd) {
    // Whatever a hand did to the file, what is read can be written back without breaking the file.
    const std::string damaged = "\"a\"\"b\",\"\"\"\",c\"d\"e,\"\r\"\n,\",\r\n\"\"\"\"\"";
    for (const HostEntry& r : parseHostList(damaged))
        for (const std::string* field : {&r.host, &r.port, &r.description, &r.timeoutLimit})
            EXPECT_TRUE(fitsHostList(*field)) << *field;
}

TEST(HostListFormat, WritesFourQuotedFieldsPerRowWithCrLf) {
    HostTable grid;
    EXPECT_EQ(formatHostList(grid), "\"\",\"\",\"\",\"\"\r\n");

    grid.setCell(1, HostTable::colHost, "10.0.0.5");
    grid.setCell(1, HostTable::colPort, "80");
    grid.setCell(1, HostTable::colTimeoutLimit, "5");
    grid.setCell(1, HostTable::colLastStatus, "ALIVE(07:05:09)"); // monitoring state is never stored
    grid.setCell(1, HostTable::colAlert, "1");
    grid.setCell(1, HostTable::colCount, "3");
    const int row = grid.appendRow();
    grid.setCell(row, HostTable::colHost, " db");
    grid.setCell(row, HostTable::colPort, "????");
    grid.setCell(row, HostTable::colDescription, "main, backup");
    EXPECT_EQ(formatHostList(grid), "\"10.0.0.5\",\"80\",\"\",\"5\"\r\n\" db\",\"????\",\"main, backup\",\"\"\r\n");
}

TEST(HostListFormat, RefusesACellThatWouldBreakTheFile) {
    for (const char* bad : {"a\"b", "a\rb", "a\nb"}) {
        for (int column :
             {HostTable::colHost, HostTable::colPort, HostTable::colDescription, HostTable::colTimeoutLimit}) {
            HostTable grid;
            grid.setCell(1, HostTable::colHost, "h");
            grid.setCell(1, column, bad);
            EXPECT_FALSE(formatHostList(grid).has_value()) << column;
        }
    }
    HostTable grid;
    grid.setCell(1, HostTable::colLastStatus, "not \"stored\"");
    EXPECT_TRUE(formatHostList(grid).has_value());
}

TEST(HostListFormat, WhatIsWrittenReadsBackUnchanged) {
    HostTable grid;
    const Records records = {{"10.0.0.5", "80", "", "5"},
                             {"  spaced host ", " 22 ", "web, mail", "10"},
                             {"h", "", "", ""},
                             {"x", "????", ",,,", "20"}};
    for (std::size_t i = 0; i < records.size(); ++i) {
        const int row = i == 0 ? 1 : grid.appendRow();
        grid.setCell(row, HostTable::colHost, records[i][0]);
        grid.setCell(row, HostTable::colPort, records[i][1]);
        grid.setCell(row, HostTable::colDescription, records[i][2]);
        grid.setCell(row, HostTable::colTimeoutLimit, records[i][3]);
    }
    EXPECT_EQ(fields(parseHostList(*formatHostList(grid))), records);
}

} // namespace
} // namespace wardel
