#include "app/program_files.h"

#include <map>

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace wardel {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempFolder;
using test::writeFile;
using Files = std::map<std::string, std::string>;

Files filesIn(const fs::path& folder) {
    Files files;
    for (const auto& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = readFile(entry.path());
    return files;
}

TEST(ProgramFiles, PerUserFolderGetsTheFilesItLacks) {
    const std::string settings = "15\r\n\r\n1\r\nops@example.org\r\n";
    const std::string hosts = "\"a\",\"80\",\"\",\"5\"\r\n";
    const struct {
        const char* name;
        Files program;
        Files user;
        Files expected;
    } cases[] = {
        {"both copied byte for byte",
         {{"setting.ini", settings}, {"host.ini", hosts}, {"log_1206.txt", "x\r\n"}},
         {},
         {{"setting.ini", settings}, {"host.ini", hosts}}},
        {"only what the program folder has", {{"host.ini", hosts}}, {}, {{"host.ini", hosts}}},
        {"per-user copies win",
         {{"setting.ini", settings}, {"host.ini", hosts}},
         {{"setting.ini", "mine\r\n"}, {"host.ini", "mine\r\n"}},
         {{"setting.ini", "mine\r\n"}, {"host.ini", "mine\r\n"}}},
        {"each file on its own",
         {{"setting.ini", settings}, {"host.ini", hosts}},
         {{"host.ini", ""}},
         {{"setting.ini", settings}, {"host.ini", ""}}},
    };
    for (const auto& c : cases) {
        TempFolder program, user;
        for (const auto& [name, content] : c.program)
            writeFile(program / name, content);
        for (const auto& [name, content] : c.user)
            writeFile(user / name, content);
        copyMissingProgramFiles(program.path(), user.path());
        EXPECT_EQ(filesIn(user.path()), c.expected) << c.name;
        EXPECT_EQ(filesIn(program.path()), c.program) << c.name;
    }
    // The copied settings hold the gateway password: for the owner only.
    TempFolder program, user;
    writeFile(program / "setting.ini", settings);
    fs::permissions(program / "setting.ini", fs::perms::owner_read | fs::perms::others_read, fs::perm_options::replace);
    copyMissingProgramFiles(program.path(), user.path());
    EXPECT_EQ(fs::status(user / "setting.ini").permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST(ProgramFiles, ReadOnlyRunSeesWhatStartUpWouldRead) {
    const struct {
        const char* name;
        bool sameFolder;
        Files user;
        bool userSymlink;
        const char* settingsIn; // "program" or "user"
        const char* hostsIn;
    } cases[] = {
        {"files beside the program", true, {}, false, "program", "program"},
        {"per-user copies", false, {{"setting.ini", "s"}, {"host.ini", "h"}}, false, "user", "user"},
        {"a file the per-user folder lacks comes from beside the program",
         false,
         {{"host.ini", "h"}},
         false,
         "program",
         "user"},
        {"a dangling link is the operator's own", false, {}, true, "user", "program"},
    };
    for (const auto& c : cases) {
        TempFolder program, user;
        for (const auto& [name, content] : c.user)
            writeFile(user / name, content);
        if (c.userSymlink)
            fs::create_symlink(user / "nowhere", user / "setting.ini");
        const fs::path files = c.sameFolder ? program.path() : user.path();
        const StartUpFiles found = startUpFiles(files, program.path());
        const auto folderOf = [&](const char* which) {
            return std::string(which) == "user" ? user.path() : program.path();
        };
        EXPECT_EQ(found.settings, folderOf(c.settingsIn) / "setting.ini") << c.name;
        EXPECT_EQ(found.hostList, folderOf(c.hostsIn) / "host.ini") << c.name;
        EXPECT_TRUE(filesIn(program.path()).empty()) << c.name;
    }
}

} // namespace
} // namespace wardel
