#include <QDate>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTcpServer>
#include <QTest>
#include <csignal>
#include <grp.h>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include <gtest/gtest.h>

#include "platform/qt/single_copy.h"
#include "support/program_process.h"
#include "support/test_rig.h"
#include "ui/qt_program.h"

namespace wardel::test {
namespace {

namespace fs = std::filesystem;

// Settings with file logging on, no gateway account and monitoring started by hand: the program sends nothing.
const std::string kLoggingOn = "60\r\n30\r\n0\r\n\r\n\r\n\r\n0\r\n1\r\n\r\n\r\n0\r\n60\r\n\r\n720\r\n\r\n";
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
            if (entry.path().filename() != "wardel")
                found[entry.path().filename().string()] = readFile(entry.path());
        return found;
    }
};

bool running(QProcess& process) {
    return QTest::qWaitFor([&] { return catchesSignal(process.processId(), SIGTERM); }, 20000);
}

qint64 lockHolder(const fs::path& folder) {
    qint64 pid = 0;
    QLockFile(QString::fromStdString((folder / "wardel.lock").string())).getLockInfo(&pid, nullptr, nullptr);
    return pid;
}

// The running copy is this test, with the real window; the later start is the real program.
TEST(SingleCopy, ASecondStartBringsTheRunningWindowForwardAndTouchesNoFile) {
    OperatorFolder folder;
    qt::SingleCopy first(folder.path());
    ASSERT_TRUE(first.take());
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
        bool laterRuns;
    } cases[] = {{"same folder", true, false, false},
                 {"another folder", false, false, true},
                 {"same folder, first copy killed", true, true, true}};
    for (const auto& c : cases) {
        OperatorFolder a;
        OperatorFolder b;
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
        const auto before = laterFolder.files();

        QProcess later;
        ASSERT_TRUE(startProgramIn(laterFolder.path(), later)) << c.name;
        if (c.laterRuns) {
            ASSERT_TRUE(running(later)) << c.name;
            EXPECT_EQ(lockHolder(laterFolder.path()), later.processId()) << c.name;
            ::kill(static_cast<pid_t>(later.processId()), SIGTERM);
            ASSERT_TRUE(waitForEnd(later)) << c.name;
            EXPECT_NE(readFile(laterFolder / todaysLog()).find(" - Wardel Program Ended\r\n", 44), std::string::npos)
                << c.name;
        } else {
            ASSERT_TRUE(waitForEnd(later)) << c.name;
            EXPECT_EQ(later.exitCode(), 0) << c.name;
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
