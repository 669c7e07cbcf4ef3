#include <gtest/gtest.h>

#include <filesystem>

#include "common/numbers.h"
#include "settings/settings_file.h"
#include "support/settings_builders.h"
#include "support/test_rig.h"

namespace wardel {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

std::string Lines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + "\r\n";
    return text;
}

TEST(SettingsFile, MissingFileChangesNothing) {
    TempFolder folder;
    AppSettings settings;
    RuntimeValues runtime{3, 4, 5, 1};
    EXPECT_EQ(loadSettingsFile(folder / "setting.ini", settings, runtime), SettingsLoad::Missing);
    EXPECT_EQ(settings, AppSettings{});
    EXPECT_EQ(runtime.aliveMailCountdown, 4);
}

TEST(SettingsFile, ReadsEachLineAsItsField) {
    TempFolder folder;
    writeFile(folder / "setting.ini", Lines({"  45 ", "", "1", " ops@example.org ", "pw", "+4412,+4413", "1", "1",
                                             "a@b.example", "5", "1", "30", "alive@b.example", "720", "+4499"}));
    AppSettings s;
    RuntimeValues runtime;
    ASSERT_EQ(loadSettingsFile(folder / "setting.ini", s, runtime), SettingsLoad::Loaded);
    EXPECT_EQ(s.timeInterval, "  45 "); // blanks are not an empty line: kept as read
    EXPECT_EQ(s.timeOut, "30");         // an empty line gives the default
    EXPECT_EQ(s.alertEnabled, 1);
    EXPECT_EQ(s.smsEmail, "ops@example.org");
    EXPECT_EQ(s.smsPassword, "pw");
    EXPECT_EQ(s.smsPhone, "+4412,+4413");
    EXPECT_EQ(s.startOnLaunch, 1);
    EXPECT_EQ(s.logEnabled, 1);
    EXPECT_EQ(s.mailList, "a@b.example");
    EXPECT_EQ(s.maxSms, "5");
    EXPECT_EQ(s.aliveEnabled, 1);
    EXPECT_EQ(s.aliveMailMinutes, "30");
    EXPECT_EQ(runtime.aliveMailCountdown, 30);
    EXPECT_EQ(s.aliveMailTo, "alive@b.example");
    EXPECT_EQ(s.aliveSmsMinutes, "720");
    EXPECT_EQ(runtime.aliveSmsCountdown, 720);
    EXPECT_EQ(s.aliveSmsTo, "+4499");
}

TEST(SettingsFile, SwitchesAndCountdownsFromHandEditedLines) {
    const struct {
        const char* line3;
        const char* line11;
        const char* line12;
        std::int16_t alertEnabled;
        std::int16_t aliveEnabled;
        std::int16_t mailCountdown;
    } cases[] = {
        // line 3 takes the leading number; line 11 must be a number as a whole, else it keeps its value (here 1).
        {"1", "1", "60", 1, 1, 60},
        {"1 remark", "1 remark", "", 1, 1, 0},
        {"abc", "abc", "abc", 0, 1, 0},
        {"0.5", "0.5", "2.5", 0, 0, 2},
        {"1.5", "1.5", "90000", 0, 0, 7}, // 1.5 rounds to 2: not a check box state,
                                          // reads as off; 90000 overflows
        {"-1", "2", "-3", 0, 0, -3},      // other switch values read as off
        {"99999", "99999", "5", 0, 1, 5}, // too large for the field: the field keeps its value
        {"1", "--0", "", 1, 1, 0},        // only one sign may lead a whole number
        {"1", "+-1", "", 1, 1, 0},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        writeFile(folder / "setting.ini",
                  Lines({"60", "30", c.line3, "", "", "", "0", "0", "", "", c.line11, c.line12, "", "720", ""}));
        AppSettings s;
        s.aliveEnabled = 1;
        RuntimeValues runtime;
        runtime.aliveMailCountdown = 7;
        loadSettingsFile(folder / "setting.ini", s, runtime);
        EXPECT_EQ(s.alertEnabled, c.alertEnabled) << c.line3;
        EXPECT_EQ(s.aliveEnabled, c.aliveEnabled) << c.line11;
        EXPECT_EQ(runtime.aliveMailCountdown, c.mailCountdown) << c.line12;
    }
}

TEST(SettingsFile, ShortFilesAndBareLineFeeds) {
    TempFolder folder;
    // Missing lines count as empty lines; a file written with bare LF reads the same as CR LF.
    writeFile(folder / "setting.ini", "15\n\n1\nops@example.org");
    AppSettings s;
    s.aliveEnabled = 1;
    RuntimeValues runtime{0, 9, 9, 0};
    ASSERT_EQ(loadSettingsFile(folder / "setting.ini", s, runtime), SettingsLoad::Loaded);
    EXPECT_EQ(s.timeInterval, "15");
    EXPECT_EQ(s.timeOut, "30");
    EXPECT_EQ(s.alertEnabled, 1);
    EXPECT_EQ(s.smsEmail, "ops@example.org");
    EXPECT_EQ(s.smsPassword, "");
    EXPECT_EQ(s.logEnabled, 0);
    EXPECT_EQ(s.aliveEnabled, 1);
    EXPECT_EQ(runtime.aliveMailCountdown, 0);
    EXPECT_EQ(runtime.aliveSmsCountdown, 0);

    // A folder in the file's place cannot be read: fifteen empty lines.
    std::filesystem::create_directory(folder / "other.ini");
    AppSettings unreadable;
    EXPECT_EQ(loadSettingsFile(folder / "other.ini", unreadable, runtime), SettingsLoad::Loaded);
    EXPECT_EQ(unreadable.timeInterval, "60");
    EXPECT_EQ(unreadable.timeOut, "30");
}

TEST(SettingsFile, SaveWritesFifteenTrimmedLinesAndLoadsBack) {
    TempFolder folder;
    AppSettings s;
    s.timeInterval = " 45 ";
    s.timeOut = "";
    s.alertEnabled = 1;
    s.smsEmail = " ops@example.org";
    s.smsPassword = "p&ss word ";
    s.maxSms = "2.5";
    s.aliveEnabled = 1;
    s.aliveMailMinutes = "60";
    s.aliveSmsMinutes = "720 ";
    const auto file = folder / "setting.ini";
    ASSERT_TRUE(saveSettingsFile(file, s));
    EXPECT_EQ(readFile(file), Lines({"45", "", "1", "ops@example.org", "p&ss word", "", "0", "0", "", "2.5", "1", "60",
                                     "", "720", ""}));
    // The password is in clear, so only the owner may read the file.
    const auto perms = std::filesystem::status(file).permissions();
    EXPECT_EQ(perms & (std::filesystem::perms::group_all | std::filesystem::perms::others_all),
              std::filesystem::perms::none);

    AppSettings back;
    RuntimeValues runtime;
    loadSettingsFile(file, back, runtime);
    EXPECT_EQ(back.timeInterval, "45");
    EXPECT_EQ(back.timeOut, "30");
    EXPECT_EQ(back.smsPassword, "p&ss word");
    EXPECT_EQ(back.aliveSmsMinutes, "720");
    EXPECT_EQ(back.alertEnabled, 1);
    EXPECT_EQ(back.aliveEnabled, 1);
}

TEST(SettingsFile, WhatIsSavedLoadsBackAndSavesToTheSameBytes) {
    AppSettings blanks = test::settingsWithAlertsOn();
    blanks.timeInterval = " 45 ";
    blanks.smsEmail = " ops@example.com";
    blanks.maxSms = "7 ";
    // (An empty time limit comes back as its default: see above.)
    for (const AppSettings& saved : {test::defaultSettings(), test::settingsWithAlertsOn(), blanks}) {
        const std::string text = formatSettingsText(saved);
        AppSettings loaded;
        RuntimeValues runtime;
        readSettingsText(text, loaded, runtime);
        EXPECT_EQ(formatSettingsText(loaded), text);
        EXPECT_EQ(loaded.smsEmail, trim(saved.smsEmail));
        EXPECT_EQ(runtime.aliveSmsCountdown, saved.aliveSmsMinutes.empty() ? 0 : 720);
    }
    // The tests' own writer agrees with the program's for trimmed settings.
    EXPECT_EQ(test::settingsText(test::settingsWithAlertsOn()), formatSettingsText(test::settingsWithAlertsOn()));
}

TEST(SettingsFile, FailedSaveLeavesTheOldFileWhole) {
    TempFolder folder;
    AppSettings s;
    s.timeInterval = "10";
    // A folder in the file's place, and a folder that is really a regular file.
    std::filesystem::create_directory(folder / "setting.ini");
    EXPECT_FALSE(saveSettingsFile(folder / "setting.ini", s));
    writeFile(folder / "plain", "x");
    EXPECT_FALSE(saveSettingsFile(folder / "plain" / "setting.ini", s));
    EXPECT_EQ(readFile(folder / "plain"), "x");
    // A read-only file stays as it is, even for root, who could write it.
    writeFile(folder / "readonly.ini", "old");
    std::filesystem::permissions(folder / "readonly.ini", std::filesystem::perms::owner_read,
                                 std::filesystem::perm_options::replace);
    EXPECT_FALSE(saveSettingsFile(folder / "readonly.ini", s));
    EXPECT_EQ(readFile(folder / "readonly.ini"), "old");
    // No temporary file is left behind.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder.path()))
        ++entries;
    EXPECT_EQ(entries, 3);
}

TEST(SettingsFile, AFieldWithALineBreakIsNotSavedAndTheOldFileStays) {
    TempFolder folder;
    const auto file = folder / "setting.ini";
    writeFile(file, "old");
    for (const char* field : {"ops@example.org\r\n1", "a\nb", "x\r"}) {
        AppSettings s;
        s.smsEmail = field;
        EXPECT_FALSE(saveSettingsFile(file, s)) << field;
        EXPECT_EQ(readFile(file), "old");
    }
}

TEST(SettingsFile, GarbageOrHugeFilesLoadSaneValuesAndSetTheLabels) {
    std::string garbage;
    for (std::uint32_t seed = 7; garbage.size() < 64 * 1024;)
        garbage += static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
    const std::size_t tenMb = 10 * 1024 * 1024;
    const struct {
        const char* name;
        std::string content;
        const char* timeInterval; // nullptr: whatever the garbage holds
    } cases[] = {
        {"binary garbage", garbage, nullptr},
        {"10 MB of line ends", std::string(tenMb, '\n'), "60"},
        {"10 MB after fifteen lines", Lines({"45", "", "1"}) + std::string(12, '\n') + std::string(tenMb, 'x'), "45"},
        {"10 MB of garbage", std::string(garbage).append(tenMb, '\xff'), nullptr},
    };
    for (const auto& c : cases) {
        test::TestRig rig;
        writeFile(rig.folder / "setting.ini", c.content);
        rig.port.LoadSettings();
        const AppSettings& s = rig.settings;
        if (c.timeInterval) {
            EXPECT_EQ(s.timeInterval, c.timeInterval) << c.name;
        }
        for (const std::int16_t value : {s.alertEnabled, s.startOnLaunch, s.logEnabled, s.aliveEnabled})
            EXPECT_TRUE(value == 0 || value == 1) << c.name;
        for (const std::string* text : {&s.timeInterval, &s.timeOut, &s.smsEmail, &s.mailList, &s.aliveSmsTo})
            EXPECT_EQ(text->find_first_of("\r\n"), std::string::npos) << c.name;
        EXPECT_EQ(rig.controls.lblTimeinterval.text(), timeIntervalCaption(s)) << c.name;
        EXPECT_EQ(rig.controls.lblTimeout.text(), timeOutCaption(s)) << c.name;
        EXPECT_TRUE(rig.messages.shown.empty()) << c.name;
    }
}

TEST(SettingsFile, LabelCaptionsShowTheTextAsHeld) {
    AppSettings s;
    s.timeInterval = " 60";
    s.timeOut = "30";
    EXPECT_EQ(timeIntervalCaption(s), "Time interval cycle for monitoring :  60 seconds");
    EXPECT_EQ(timeOutCaption(s), "Connecting timeout values : 30 seconds");
}

} // namespace
} // namespace wardel
