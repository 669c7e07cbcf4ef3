#include "app/program_files.h"

#include <map>

#include <gtest/gtest.h>

#include "support/test_rig.h"

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

} // namespace
} // namespace wardel
