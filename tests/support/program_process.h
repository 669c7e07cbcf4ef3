#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/test_rig.h"

namespace wardel::test {

// True once the process has its own handler for `signal`, read from /proc (SigCgt is a hex mask). The real
// program sets its handlers after its window model is built, so this also says it is up and running.
inline bool catchesSignal(qint64 pid, int signal) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("SigCgt:", 0) == 0)
            return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1U;
    }
    return false;
}

// The real program, copied into `folder` (its files folder is its executable's folder) and started there on
// the offscreen platform. False when it could not be copied or started.
inline bool startProgramIn(const std::filesystem::path& folder, QProcess& process,
                           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    const QString built = QCoreApplication::applicationDirPath() + QStringLiteral("/../wardel");
    const QString program = QString::fromStdString((folder / "wardel").string());
    if (!QFile::exists(program) && !QFile::copy(built, program))
        return false;
    QProcessEnvironment offscreen = environment;
    offscreen.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(offscreen);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, {});
    return process.waitForStarted(10000);
}

// Serves this process's event loop until the program has ended (bounded).
inline bool waitForEnd(QProcess& process, int ms = 20000) {
    return QTest::qWaitFor([&process] { return process.state() == QProcess::NotRunning; }, ms);
}

} // namespace wardel::test
