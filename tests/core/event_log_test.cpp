#include <gtest/gtest.h>

#include <filesystem>

#include "log/event_log.h"
#include "log/log_box.h"
#include "support/test_rig.h"

namespace wardel {
namespace {

using test::FakeScheduler;
using test::FakeShell;
using test::readFile;
using test::TempFolder;

struct LogFixture : ::testing::Test {
    TempFolder folder;
    FakeScheduler clock{{2026, 12, 31, 23, 59, 58}};
    AppSettings settings;
    LogBox box;
    EventLog log{clock, settings, box, folder.path()};
};

TEST_F(LogFixture, NewestLineFirstInTheBoxOldestFirstInTheFile) {
    settings.logEnabled = 1;
    log.WriteLog("first");
    clock.advance(1000);
    log.WriteLog("second");
    EXPECT_EQ(box.text(), "2026-12-31 23:59:59 - second\r\n2026-12-31 23:59:58 - first\r\n");
    EXPECT_EQ(readFile(folder / "log_1231.txt"), "2026-12-31 23:59:58 - first\r\n2026-12-31 23:59:59 - second\r\n");
}

TEST_F(LogFixture, DailyFileFollowsTheDateAndIsContinuedNextYear) {
    settings.logEnabled = 1;
    log.WriteLog("old year");
    clock.advance(2000);
    log.WriteLog("new year");
    clock.advanceTo({2027, 12, 31, 8, 0, 0});
    log.WriteLog("a year later");
    EXPECT_EQ(readFile(folder / "log_1231.txt"),
              "2026-12-31 23:59:58 - old year\r\n2027-12-31 08:00:00 - a year later\r\n");
    EXPECT_EQ(readFile(folder / "log_0101.txt"), "2027-01-01 00:00:00 - new year\r\n");
}

TEST_F(LogFixture, BareLineEndIsWrittenWithoutTime) {
    settings.logEnabled = 1;
    log.WriteLog("before");
    log.WriteLog("\r\n");
    EXPECT_EQ(box.text(), "\r\n\r\n2026-12-31 23:59:58 - before\r\n");
    EXPECT_EQ(readFile(folder / "log_1231.txt"), "2026-12-31 23:59:58 - before\r\n\r\n\r\n");
}

// A description is the operator's (or a pasted) text: its terminal escapes must not reach the file raw.
TEST_F(LogFixture, TheFileShowsForeignControlsAndBrokenUtf8AsReplacementsAndOwnLineBreaksAsBlanks) {
    settings.logEnabled = 1;
    const std::string r = "\xEF\xBF\xBD"; // U+FFFD
    const struct {
        std::string message;
        std::string inFile;
    } cases[] = {
        {"Alert for h 80 Down(x) \x1b]0;owned\x07\x1b[2J", "Alert for h 80 Down(x) " + r + "]0;owned" + r + r + "[2J"},
        {std::string("nul\0and\x01\x1f", 9), "nul" + r + "and" + r + r},
        {"cr\rlf\ncrlf\r\n", "cr" + r + "lf" + r + "crlf "},
        {"del\x7f tab\tkept", "del" + r + " tab\tkept"},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\xB1",
         "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\xB1"}, // UTF-8 passes whole
        {"csi \xC2\x9B"
         "2J nel \xC2\x85 \xC2\x80\xC2\x9F \xC2\xA0",
         "csi " + r + "2J nel " + r + " " + r + r + " \xC2\xA0"},
        {"bad \x9B"
         "2J \xC3 \xE2\x82 \xC0\xAF \xFF",
         "bad " + r + "2J " + r + " " + r + " " + r + r + " " + r},
        {"2026-12-31 23:59:58 Wardel program is UP and RUNNING !! \r\n SMS Credits left : 25",
         "2026-12-31 23:59:58 Wardel program is UP and RUNNING !!   SMS Credits left : 25"},
    };
    std::string expected;
    for (const auto& c : cases) {
        log.WriteLog(c.message);
        EXPECT_EQ(box.line(0), "2026-12-31 23:59:58 - " + c.message);
        expected += "2026-12-31 23:59:58 - " + c.inFile + "\r\n";
    }
    EXPECT_EQ(readFile(folder / "log_1231.txt"), expected);
}

TEST_F(LogFixture, FileLoggingOffOrImpossibleStillFillsTheBox) {
    log.WriteLog("off");
    EXPECT_FALSE(std::filesystem::exists(folder / "log_1231.txt"));
    settings.logEnabled = 1;
    std::filesystem::create_directory(folder / "log_1231.txt"); // the file cannot be opened
    log.WriteLog("blocked");
    EXPECT_EQ(box.lineCount(), 2u);
    EXPECT_EQ(box.line(0), "2026-12-31 23:59:58 - blocked");
    // A read-only file takes no line, even from root, who could write it.
    clock.advance(2000);
    test::writeFile(folder / "log_0101.txt", "kept\r\n");
    std::filesystem::permissions(folder / "log_0101.txt", std::filesystem::perms::owner_read,
                                 std::filesystem::perm_options::replace);
    log.WriteLog("read-only");
    EXPECT_EQ(box.line(0), "2027-01-01 00:00:00 - read-only");
    EXPECT_EQ(readFile(folder / "log_0101.txt"), "kept\r\n");
}

TEST(LogFolder, AFolderThatTakesNoFileLeavesTheLinesInTheBoxWithoutAMessage) {
    namespace fs = std::filesystem;
    // The program's folder (in the rig's folder, beside the regular file "plain"): missing, a regular file,
    // and a folder under a regular file.
    for (const char* folder : {"gone", "plain", "plain/sub"}) {
        test::TestRig rig({2026, 12, 6, 7, 5, 9}, folder);
        test::writeFile(rig.folder / "plain", "x");
        rig.port.Form_Load();
        rig.settings.logEnabled = 1;
        rig.log.WriteLog("Monitoring Started");
        rig.port.cmdExit_Click();
        EXPECT_EQ(rig.logLines(), (std::vector<std::string>{"2026-12-06 07:05:09 - Wardel Program Ended",
                                                            "2026-12-06 07:05:09 - Monitoring Started",
                                                            "2026-12-06 07:05:09 - Wardel Program Start Running"}))
            << folder;
        EXPECT_TRUE(rig.messages.shown.empty()) << folder;
        EXPECT_FALSE(fs::exists(rig.folder / "gone")) << folder;
        EXPECT_EQ(readFile(rig.folder / "plain"), "x") << folder;
    }
}

TEST(LogBox, KeepsTheNewestLinesAndDropsTheOldestAtTheEnd) {
    struct Counter : LogBox::Observer {
        int prepended = 0, appended = 0, dropped = 0;
        void linePrepended(const std::string&) override { ++prepended; }
        void lineAppended(const std::string&) override { ++appended; }
        void oldestLineDropped() override { ++dropped; }
    } counter;
    LogBox box;
    const Subscription observing = box.observe(counter);
    for (std::size_t i = 0; i < LogBox::kMaxLines + 5; ++i)
        box.prepend("line " + std::to_string(i));
    EXPECT_EQ(box.lineCount(), LogBox::kMaxLines);
    EXPECT_EQ(box.line(0), "line " + std::to_string(LogBox::kMaxLines + 4));
    EXPECT_EQ(box.line(LogBox::kMaxLines - 1), "line 5");
    box.append("tail");
    // A full box keeps its top lines: a line added below them falls off at once.
    EXPECT_EQ(box.line(LogBox::kMaxLines - 1), "line 5");
    EXPECT_EQ(counter.prepended, static_cast<int>(LogBox::kMaxLines + 5));
    EXPECT_EQ(counter.appended, 1);
    EXPECT_EQ(counter.dropped, 6);
}

TEST_F(LogFixture, ViewLogOpensTheChosenFileAndCancelDoesNothing) {
    FakeShell shell;
    log.cmdLog_Click(shell);
    EXPECT_EQ(shell.dialogFolder, folder.path().string());
    EXPECT_EQ(shell.dialogFilter, "LOG Files(log*.txt)");
    EXPECT_TRUE(shell.openedFiles.empty()); // cancelled: the dialog never calls back
    shell.onFileChosen((folder / "log_1231.txt").string());
    ASSERT_EQ(shell.openedFiles.size(), 1u);
    EXPECT_EQ(shell.openedFiles[0], (folder / "log_1231.txt").string());
}

} // namespace
} // namespace wardel
