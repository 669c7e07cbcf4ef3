#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <csignal>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "platform/qt/program_end.h"
#include "platform/qt/shutdown_signal.h"
#include "support/program_process.h"
#include "support/settings_builders.h"
#include "support/temp_folder.h"

namespace wardel::qt {
namespace {

const int kEndingSignals[] = {SIGTERM, SIGINT, SIGHUP};

TEST(ShutdownSignalTest, SignalRunsTheShutdownFromTheEventLoop) {
    for (const int signal : kEndingSignals) {
        int shutdowns = 0;
        ShutdownSignal watcher([&shutdowns] { ++shutdowns; });
        ASSERT_TRUE(watcher.installed());
        std::raise(signal);
        std::raise(signal);
        // Nothing runs inside the handler itself.
        EXPECT_EQ(shutdowns, 0);
        EXPECT_TRUE(QTest::qWaitFor([&shutdowns] { return shutdowns > 0; }, 5000)) << signal;
        QTest::qWait(50);
        EXPECT_EQ(shutdowns, 1) << "two signals waiting are one shutdown";
    }
}

TEST(ShutdownSignalTest, SignalAfterTheProgramEndedDoesNothing) {
    int shutdowns = 0;
    ShutdownSignal watcher([&shutdowns] { ++shutdowns; });
    markProgramEnded();
    std::raise(SIGTERM);
    QTest::qWait(100);
    programEndedFlag() = false;
    EXPECT_EQ(shutdowns, 0);
}

// Started under nohup, the program outlives its terminal as asked; the other signals still end it.
TEST(ShutdownSignalTest, AHangUpIgnoredFromTheStartStaysIgnored) {
    std::signal(SIGHUP, SIG_IGN);
    int shutdowns = 0;
    {
        ShutdownSignal watcher([&shutdowns] { ++shutdowns; });
        ASSERT_TRUE(watcher.installed());
        std::raise(SIGHUP);
        QTest::qWait(100);
        EXPECT_EQ(shutdowns, 0);
        std::raise(SIGTERM);
        EXPECT_TRUE(QTest::qWaitFor([&shutdowns] { return shutdowns > 0; }, 5000));
    }
    struct sigaction after {};
    ::sigaction(SIGHUP, nullptr, &after);
    EXPECT_EQ(after.sa_handler, SIG_IGN);
    std::signal(SIGHUP, SIG_DFL);
}

QString logFilesText(const QString& folder) {
    QString text;
    for (const QString& name : QDir(folder).entryList({QStringLiteral("log_*.txt")}, QDir::Files)) {
        QFile file(folder + QLatin1Char('/') + name);
        if (file.open(QIODevice::ReadOnly))
            text += QString::fromUtf8(file.readAll());
    }
    return text;
}

// The real program, run from a folder of its own (the program's folder is its executable's folder) with file
// logging on and no gateway account, so it sends nothing anywhere.
TEST(ShutdownSignalTest, RunningProgramLogsItsEndWhenSignalled) {
    const QString built = QCoreApplication::applicationDirPath() + QStringLiteral("/../wardel");
    ASSERT_TRUE(QFile::exists(built)) << built.toStdString();

    for (const int signal : kEndingSignals) {
        test::TempFolder folder;
        const QString dir = QString::fromStdString(folder.path().string());
        const QString program = dir + QStringLiteral("/wardel");
        ASSERT_TRUE(QFile::copy(built, program));
        test::writeFile(folder / "setting.ini", test::settingsText({.logEnabled = 1}));

        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, {});
        ASSERT_TRUE(process.waitForStarted(10000));
        const qint64 pid = process.processId();
        ASSERT_TRUE(QTest::qWaitFor([&] { return test::catchesSignal(pid, signal); }, 20000)) << signal;

        ::kill(static_cast<pid_t>(pid), signal);
        ASSERT_TRUE(process.waitForFinished(20000)) << signal;
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << signal;
        EXPECT_EQ(process.exitCode(), 0) << signal;

        const QString log = logFilesText(dir);
        EXPECT_TRUE(log.contains(QStringLiteral(" - Wardel Program Ended\r\n"))) << log.toStdString();
        EXPECT_FALSE(log.contains(QStringLiteral("Wardel Program Start Running"))) << log.toStdString();
    }
}

} // namespace
} // namespace wardel::qt
