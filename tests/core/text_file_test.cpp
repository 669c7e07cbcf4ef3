#include "common/text_file.h"

#include <algorithm>
#include <functional>
#include <optional>

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/temp_folder.h"

namespace wardel {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempFolder;
using test::writeFile;

constexpr uid_t kNobody = 65534;

struct stat statOf(const fs::path& file) {
    struct stat st {};
    EXPECT_EQ(::stat(file.c_str(), &st), 0) << file;
    return st;
}

std::vector<std::string> entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Runs `step` in a child that has dropped to the unprivileged user 65534; its result, or nullopt when the
// child could not drop.
std::optional<bool> asAnotherUser(const std::function<bool()>& step) {
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
        ::_exit(!dropped ? 2 : step() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 2)
        return std::nullopt;
    return WEXITSTATUS(status) == 0;
}

TEST(ReplaceFile, ModeFollowsTheOldFileOrTheUmask) {
    const struct {
        const char* name;
        mode_t umask;
        std::optional<mode_t> oldMode;
        FileAccess access;
        mode_t mode;
    } cases[] = {
        {"new file, umask 022", 022, {}, FileAccess::Default, 0644},
        {"new file, umask 002", 002, {}, FileAccess::Default, 0664},
        {"new file, umask 077", 077, {}, FileAccess::Default, 0600},
        {"existing file keeps its mode", 022, 0640, FileAccess::Default, 0640},
        {"owner-only new file", 0, {}, FileAccess::OwnerOnly, 0600},
        {"owner-only under a narrow umask", 0277, {}, FileAccess::OwnerOnly, 0600},
        {"owner-only existing file", 0, 0664, FileAccess::OwnerOnly, 0600},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        const auto file = folder / "f.ini";
        if (c.oldMode) {
            writeFile(file, "old");
            ::chmod(file.c_str(), *c.oldMode);
        }
        const mode_t saved = ::umask(c.umask);
        EXPECT_TRUE(replaceFileAtomically(file, "new", c.access)) << c.name;
        ::umask(saved);
        EXPECT_EQ(statOf(file).st_mode & 07777, c.mode) << c.name;
        EXPECT_EQ(readFile(file), "new") << c.name;
    }
}

TEST(ReplaceFile, KeepsTheOwnerWhereTheUserMay) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving a file to another user needs root";
    TempFolder folder;
    const auto file = folder / "host.ini";
    writeFile(file, "old");
    ASSERT_EQ(::chown(file.c_str(), kNobody, kNobody), 0);
    ASSERT_TRUE(replaceFileAtomically(file, "new"));
    EXPECT_EQ(statOf(file).st_uid, kNobody);
    EXPECT_EQ(statOf(file).st_gid, kNobody);
}

TEST(ReplaceFile, WritesThroughLinksToTheFinalTarget) {
    TempFolder folder;
    fs::create_directories(folder / "real");
    fs::create_directories(folder / "links");
    writeFile(folder / "real" / "host.ini", "old");
    fs::create_symlink("../real/host.ini", folder / "links" / "middle");
    fs::create_symlink("middle", folder / "links" / "host.ini");
    ASSERT_TRUE(replaceFileAtomically(folder / "links" / "host.ini", "new"));
    EXPECT_TRUE(fs::is_symlink(folder / "links" / "host.ini"));
    EXPECT_EQ(readFile(folder / "real" / "host.ini"), "new");
    EXPECT_EQ(entries(folder / "links"), (std::vector<std::string>{"host.ini", "middle"}));
    EXPECT_EQ(entries(folder / "real"), std::vector<std::string>{"host.ini"});

    // A link to a file not there yet creates it.
    fs::create_symlink("real/new.ini", folder / "dangling");
    ASSERT_TRUE(replaceFileAtomically(folder / "dangling", "made"));
    EXPECT_EQ(readFile(folder / "real" / "new.ini"), "made");
}

TEST(ReplaceFile, TakesOverTheTemporaryFileAnInterruptedSaveLeft) {
    TempFolder folder;
    writeFile(folder / "victim", "untouched");
    writeFile(folder / "host.ini.tmp", "left by a save that was cut off");
    ASSERT_TRUE(replaceFileAtomically(folder / "host.ini", "one"));
    // A planted link in the temporary file's place is replaced, not followed.
    fs::create_symlink("victim", folder / "host.ini.tmp");
    ASSERT_TRUE(replaceFileAtomically(folder / "host.ini", "two"));
    EXPECT_EQ(readFile(folder / "host.ini"), "two");
    EXPECT_EQ(readFile(folder / "victim"), "untouched");
    EXPECT_EQ(entries(folder.path()), (std::vector<std::string>{"host.ini", "victim"}));
}

// A file the user may not write stays as it is, whatever the folder allows: for root that is a file without
// its owner-write bit, for any other user a file or (when a temporary file must stand beside it) a folder it
// has no write access to.
TEST(ReplaceFile, LeavesAFileTheUserMayNotWrite) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root, to test both root and another user";
    const struct {
        const char* name;
        bool otherUser;
        mode_t folderMode;
        mode_t fileMode;
        bool replaced;
        bool appended;
    } cases[] = {
        {"root, owner-write bit off", false, 0755, 0444, false, false},
        {"root, owner-write bit on", false, 0755, 0200, true, true},
        {"other user, root's file in an open folder", true, 0777, 0644, false, false},
        {"other user, writable file in a closed folder", true, 0755, 0666, false, true},
        {"other user, writable file in an open folder", true, 0777, 0666, true, true},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        const auto file = folder / "f.ini";
        writeFile(file, "old\r\n");
        ::chmod(file.c_str(), c.fileMode);
        ::chmod(folder.path().c_str(), c.folderMode);
        const auto replace = [&] { return replaceFileAtomically(file, "new\r\n"); };
        const auto append = [&] { return appendToFile(file, "more\r\n"); };
        const std::optional<bool> replaced = c.otherUser ? asAnotherUser(replace) : replace();
        ASSERT_TRUE(replaced.has_value()) << "could not drop to another user";
        EXPECT_EQ(*replaced, c.replaced) << c.name;
        EXPECT_EQ(readFile(file), c.replaced ? "new\r\n" : "old\r\n") << c.name;
        if (!c.replaced) {
            EXPECT_EQ(statOf(file).st_uid, 0u) << c.name;
        }

        const std::string before = readFile(file);
        EXPECT_EQ(c.otherUser ? asAnotherUser(append) : append(), c.appended) << c.name;
        EXPECT_EQ(readFile(file), c.appended ? before + "more\r\n" : before) << c.name;
    }
}

// A real filesystem that runs full: a small tmpfs, mounted for the test.
class FullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0)
            GTEST_SKIP() << "mounting a small tmpfs needs root";
        if (::mount("tmpfs", folder.path().c_str(), "tmpfs", 0, "size=64k") != 0)
            GTEST_SKIP() << "no tmpfs could be mounted";
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_)
            ::umount2(folder.path().c_str(), MNT_DETACH);
    }

    // Fills what is left of the disk with one file.
    void fill() {
        const int fd = ::open((folder / "filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        const std::string block(4096, 'x');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        ::close(fd);
    }

    TempFolder folder;

private:
    bool mounted_ = false;
};

TEST_F(FullDisk, AppendWritesAWholeLineOrNothing) {
    const auto log = folder / "log_1206.txt";
    ASSERT_TRUE(appendToFile(log, "first\r\n"));
    fill();
    // The line fits partly in the file's last block, then the disk is full.
    EXPECT_FALSE(appendToFile(log, std::string(6000, 'y') + "\r\n"));
    EXPECT_EQ(readFile(log), "first\r\n");
    fs::remove(folder / "filler");
    ASSERT_TRUE(appendToFile(log, "next\r\n"));
    EXPECT_EQ(readFile(log), "first\r\nnext\r\n");
}

TEST_F(FullDisk, FailedReplaceLeavesTheOldFileAndNoTemporaryFile) {
    const auto file = folder / "host.ini";
    ASSERT_TRUE(replaceFileAtomically(file, "old"));
    fill();
    EXPECT_FALSE(replaceFileAtomically(file, std::string(8000, 'z')));
    EXPECT_EQ(readFile(file), "old");
    EXPECT_EQ(entries(folder.path()), (std::vector<std::string>{"filler", "host.ini"}));
}

} // namespace
} // namespace wardel
