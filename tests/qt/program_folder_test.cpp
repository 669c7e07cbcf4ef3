#include <QDate>
#include <QProcess>
#include <QTcpServer>
#include <QTest>
#include <csignal>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/program_process.h"
#include "support/settings_builders.h"
#include "support/temp_folder.h"

namespace wardel::test {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

// A service account whose home does not exist: the real program in a folder it cannot write, and a per-user
// folder that cannot be created because a plain file stands where its parent should be. Root, who could
// write anywhere, runs the program as nobody; anyone else gets a folder without write permission.
TEST(ProgramFolder, WithNoPerUserFolderTheFilesAreReadWhereTheProgramIsAndSavesFail) {
    QTcpServer target;
    ASSERT_TRUE(target.listen(QHostAddress::LocalHost));
    TempFolder folder;
    AppSettings startAndLog = defaultSettings();
    startAndLog.startOnLaunch = 1;
    startAndLog.logEnabled = 1;
    const std::string settings = settingsText(startAndLog);
    const std::string hosts = "\"127.0.0.1\",\"" + std::to_string(target.serverPort()) + "\",\"web\",\"1\"\r\n";
    writeFile(folder / "setting.ini", settings); // monitoring on at start, file logging on
    writeFile(folder / "host.ini", hosts);
    const fs::path log =
        folder / ("log_" + QDate::currentDate().toString(QStringLiteral("MMdd")).toStdString() + ".txt");
    writeFile(log, "");
    writeFile(folder / "home", "a file, not a folder");
    for (const auto& file : {folder / "setting.ini", folder / "host.ini", folder / "home"})
        fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                  fs::perms::others_read);
    fs::permissions(log, fs::perms::all & ~fs::perms::owner_exec & ~fs::perms::group_exec & ~fs::perms::others_exec);

    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/../wardel"),
                            QString::fromStdString((folder / "wardel").string())));
    const bool root = ::geteuid() == 0;
    QProcess program;
    if (root) {
        program.setChildProcessModifier([] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                ::_exit(126);
        });
    }
    fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                       fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), QString::fromStdString((folder / "home").string()));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), QString::fromStdString((folder / "home" / "share").string()));
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));

    ASSERT_TRUE(startProgramIn(folder.path(), program, environment));
    // The table and the start switch came from the program's folder: the target is probed.
    EXPECT_TRUE(QTest::qWaitFor([&] { return target.hasPendingConnections(); }, 20000));
    const std::string notice = "File Save Error : " + folder.path().string() + " cannot be written and " +
                               (folder / "home" / "share" / "Wardel").string() + " cannot be created\r\n";
    EXPECT_TRUE(QTest::qWaitFor([&] { return readFile(log).find(notice) != std::string::npos; }, 20000))
        << readFile(log);
    ASSERT_TRUE(QTest::qWaitFor([&] { return catchesSignal(program.processId(), SIGTERM); }, 20000));
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(waitForEnd(program));
    EXPECT_EQ(program.exitCode(), 0);

    fs::permissions(folder.path(), fs::perms::owner_all, fs::perm_options::add);
    EXPECT_NE(readFile(log).find(" - Wardel Program Ended\r\n"), std::string::npos);
    EXPECT_EQ(readFile(folder / "setting.ini"), settings);
    EXPECT_EQ(readFile(folder / "host.ini"), hosts);
    EXPECT_TRUE(fs::is_regular_file(folder / "home"));
    EXPECT_FALSE(fs::exists(folder / "wardel.lock"));
}

} // namespace
} // namespace wardel::test
