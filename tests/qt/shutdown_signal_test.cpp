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
#include "support/test_rig.h"

namespace wardel::qt {
namespace {

const int kEndingSignals[] = {SIGTERM, SIGINT};

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

// True once the process has its own handler for `signal`, read from /proc (SigCgt is a hex mask).
bool catchesSignal(qint64 pid, int signal) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("SigCgt:", 0) == 0)
            return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1U;
    }
    return false;
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
        test::writeFile(folder / "setting.ini",
                        "60\r\n30\r\n0\r\n\r\n\r\n\r\n0\r\n1\r\n\r\n\r\n0\r\n60\r\n\r\n720\r\n\r\n");

        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, {});
        ASSERT_TRUE(process.waitForStarted(10000));
        const qint64 pid = process.processId();
        ASSERT_TRUE(QTest::qWaitFor([&] { return catchesSignal(pid, signal); }, 20000)) << signal;

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
