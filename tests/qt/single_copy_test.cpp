#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTest>
#include <csignal>
#include <grp.h>
#include <map>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include <gtest/gtest.h>

#include "platform/qt/single_copy.h"
#include "support/program_process.h"
#include "support/settings_builders.h"
#include "support/temp_folder.h"
#include "ui/qt_program.h"

namespace wardel::test {
namespace {

namespace fs = std::filesystem;

// Settings with file logging on, no gateway account and monitoring started by hand: the program sends nothing.
const std::string kLoggingOn = settingsText([] {
    AppSettings s = defaultSettings();
    s.logEnabled = 1;
    return s;
}());
const std::string kOneTarget = "\"127.0.0.1\",\"1\",\"web\",\"1\"\r\n";

std::string todaysLog() {
    return "log_" + QDate::currentDate().toString(QStringLiteral("MMdd")).toStdString() + ".txt";
}

// A folder an operator keeps the program in: its settings, its table and the day's log so far.
struct OperatorFolder : TempFolder {
    OperatorFolder() {
        writeFile(*this / "setting.ini", kLoggingOn);
        writeFile(*this / "host.ini", kOneTarget);
        writeFile(*this / todaysLog(), "2026-12-06 07:05:09 - Wardel Program Ended\r\n");
    }
    // Every file in the folder but the program itself, with its bytes.
    std::map<std::string, std::string> files() const {
        std::map<std::string, std::string> found;
        for (const auto& entry : fs::directory_iterator(path()))
            if (entry.path().filename() != "wardel" && entry.is_regular_file())
                found[entry.path().filename().string()] = readFile(entry.path());
        return found;
    }
};

bool running(QProcess& process) {
    return QTest::qWaitFor([&] { return catchesSignal(process.processId(), SIGTERM); }, 20000);
}

qint64 lockHolder(const fs::path& folder) {
    return QString::fromStdString(readFile(folder / "wardel.lock")).trimmed().toLongLong();
}

// What stands in the way of a later start in folder B, besides a first copy running in A. The last three are
// held by this process.
enum class Plant {
    None,
    CopiedFolder,     // B is a copy of A, lock file and all, taken while A's copy runs
    LinkInRuntime,    // B cannot hold its lock; in the runtime folder a link to A's held host.ini has its name
    ForeignInRuntime, // as before, but a held file of another user has the name
    SilentHolder,     // B's lock is held by a process that never answers the knock
};

// Plants `plant` for a start in `b`, held by this process where it is a lock; returns the start's environment.
QProcessEnvironment plantFor(Plant plant, const OperatorFolder& a, const OperatorFolder& b, const TempFolder& runtime,
                             QFile& held) {
    const fs::path outside = a / "host.ini";
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const fs::path inRuntime = runtime / (qt::SingleCopy(b.path()).serverName().toStdString() + ".lock");
    if (plant == Plant::CopiedFolder)
        fs::copy(a.path(), b.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    if (plant == Plant::LinkInRuntime || plant == Plant::ForeignInRuntime) {
        fs::create_directory(b / "wardel.lock"); // a folder where the lock file should be
        fs::permissions(runtime.path(), fs::perms::owner_all);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(runtime.path().string()));
        plant == Plant::LinkInRuntime ? fs::create_symlink(outside, inRuntime) : writeFile(inRuntime, "1\n");
        EXPECT_TRUE(plant != Plant::ForeignInRuntime || ::chown(inRuntime.c_str(), 65534, 65534) == 0);
    }
    const fs::path lock = plant == Plant::SilentHolder    ? b / "wardel.lock"
                          : plant == Plant::LinkInRuntime ? outside
                                                          : inRuntime;
    if (plant >= Plant::LinkInRuntime) {
        held.setFileName(QString::fromStdString(lock.string()));
        EXPECT_TRUE(held.open(QIODevice::ReadWrite) && ::flock(held.handle(), LOCK_EX | LOCK_NB) == 0);
    }
    return environment;
}

// The running copy is this test, with the real window; the later start is the real program.
TEST(SingleCopy, ASecondStartBringsTheRunningWindowForwardAndTouchesNoFile) {
    OperatorFolder folder;
    qt::SingleCopy first(folder.path());
    ASSERT_EQ(first.take(), qt::SingleCopy::Start::Guarded);
    qt::QtProgram program(folder.path());
    first.listen([&program] { program.port().trayDoubleClick(); });
    program.port().Form_Load();
    program.port().eventLog().WriteLog("first copy at work");
    program.window().hide();
    const auto before = folder.files();
    ASSERT_TRUE(before.count("wardel.lock"));

    QProcess second;
    ASSERT_TRUE(startProgramIn(folder.path(), second));
    ASSERT_TRUE(waitForEnd(second));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(program.window().isVisible());
    EXPECT_EQ(folder.files(), before);
}

// Real copies of the program only. The first one runs in folder A; the later one starts in A or in B.
TEST(SingleCopy, OneCopyRunsPerFolderAndALockLeftByAKilledCopyIsTakenOver) {
    const struct {
        const char* name;
        bool sameFolder;
        bool killFirst;
        Plant plant;
        bool laterRuns;
    } cases[] = {{"same folder", true, false, Plant::None, false},
                 {"another folder", false, false, Plant::None, true},
                 {"same folder, first copy killed", true, true, Plant::None, true},
                 {"a copy of the folder", false, false, Plant::CopiedFolder, true},
                 {"a link in the runtime folder", false, false, Plant::LinkInRuntime, true},
                 {"another user's lock in the runtime folder", false, false, Plant::ForeignInRuntime, true},
                 {"a lock whose holder does not answer", false, false, Plant::SilentHolder, false}};
    for (const auto& c : cases) {
        OperatorFolder a;
        OperatorFolder b;
        TempFolder runtime;
        QProcess first;
        ASSERT_TRUE(startProgramIn(a.path(), first)) << c.name;
        ASSERT_TRUE(running(first)) << c.name;
        if (c.killFirst) {
            first.kill();
            ASSERT_TRUE(waitForEnd(first)) << c.name;
            ASSERT_TRUE(fs::exists(a / "wardel.lock")) << c.name;
        }
        const OperatorFolder& laterFolder = c.sameFolder ? a : b;
        // The running copy opens its probe history once its window is up; the folder is compared after that.
        if (!c.killFirst) {
            auto seen = a.files();
            ASSERT_TRUE(QTest::qWaitFor(
                [&] {
                    QTest::qWait(200);
                    const auto now = a.files();
                    return fs::exists(a / "history.db-wal") && std::exchange(seen, now) == now;
                },
                5000))
                << c.name;
        }
        QFile held;
        const QProcessEnvironment environment = plantFor(c.plant, a, b, runtime, held);
        const auto before = laterFolder.files();

        QProcess later;
        ASSERT_TRUE(startProgramIn(laterFolder.path(), later, environment)) << c.name;
        if (c.laterRuns) {
            ASSERT_TRUE(running(later)) << c.name;
            const bool inRuntime = c.plant == Plant::LinkInRuntime || c.plant == Plant::ForeignInRuntime;
            EXPECT_TRUE(inRuntime || lockHolder(laterFolder.path()) == later.processId()) << c.name;
            ::kill(static_cast<pid_t>(later.processId()), SIGTERM);
            ASSERT_TRUE(waitForEnd(later)) << c.name;
            const std::string log = readFile(laterFolder / todaysLog());
            EXPECT_NE(log.find(" - Wardel Program Ended\r\n", 44), std::string::npos) << c.name;
            // With no safe place for its lock, the start goes on and says so once.
            EXPECT_EQ(log.find(" - Lock Error : ") != std::string::npos, inRuntime) << c.name;
            EXPECT_EQ(readFile(a / "host.ini"), kOneTarget) << c.name;
        } else {
            ASSERT_TRUE(waitForEnd(later)) << c.name;
            // One that cannot be reached stops with a word on stderr and a failure status.
            EXPECT_EQ(later.exitCode(), c.plant == Plant::SilentHolder ? 1 : 0) << c.name;
            EXPECT_EQ(laterFolder.files(), before) << c.name;
        }
        EXPECT_EQ(first.state() == QProcess::Running, !c.killFirst) << c.name;
        if (first.state() == QProcess::Running) {
            ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
            ASSERT_TRUE(waitForEnd(first)) << c.name;
            EXPECT_EQ(first.exitCode(), 0) << c.name;
        }
        EXPECT_FALSE(fs::exists(a / "wardel.lock")) << c.name;
    }
}

} // namespace
} // namespace wardel::test
