// Whether the real program grows with time: wardel (offscreen, in a folder of its own) monitors 50 loopback
// targets for some minutes with alerts on, sent to the gateway simulator, and the "I am alive" notice every
// minute. Of the targets 20 accept, 20 flap (listen for 70 s, then refuse for 70 s) and 10 refuse, so alerts
// and "Back to Alive" notices keep coming. Prints the resident memory at minute 2 and at the end; the goal is
// growth under 1 MB over 10 minutes.
//
// wardel must be built with WARDEL_GATEWAY_BASE=http://127.0.0.1:<port>, the simulator's port.
// Usage: soak_bench <wardel> <wardel-gateway-sim> [minutes]   (default 10)

#include <csignal>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <memory>
#include <vector>

#include "build_config.h"

namespace {

// Accepts every connection and drops it at once.
class Target {
public:
    explicit Target(quint16 port = 0) { listen(port); }
    bool listen(quint16 port) {
        if (!server_.listen(QHostAddress::LocalHost, port))
            return false;
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* peer = server_.nextPendingConnection())
                peer->deleteLater();
        });
        port_ = server_.serverPort();
        return true;
    }
    void close() {
        server_.close();
        QObject::disconnect(&server_, nullptr, nullptr, nullptr);
    }
    quint16 port() const { return port_; }
    bool listening() const { return server_.isListening(); }

private:
    QTcpServer server_;
    quint16 port_ = 0;
};

// A port nothing listens on: taken from the system, then given back.
quint16 refusedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

long residentKiB(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: soak_bench <wardel> <wardel-gateway-sim> [minutes]\n");
        return 2;
    }
    const QString wardel = QString::fromLocal8Bit(argv[1]);
    const QString simulator = QString::fromLocal8Bit(argv[2]);
    const int minutes = argc > 3 ? std::max(3, std::atoi(argv[3])) : 10;
    const QUrl gateway(QStringLiteral(WARDEL_GATEWAY_BASE));
    if (gateway.host() != QLatin1String("127.0.0.1") || gateway.port() <= 0) {
        std::fprintf(stderr, "soak_bench: build with -DWARDEL_GATEWAY_BASE=http://127.0.0.1:<port>\n");
        return 2;
    }

    QTemporaryDir folder;
    const QString program = folder.filePath(QStringLiteral("wardel"));
    if (!folder.isValid() || !QFile::copy(wardel, program)) {
        std::fprintf(stderr, "soak_bench: cannot copy %s\n", argv[1]);
        return 1;
    }

    std::vector<std::unique_ptr<Target>> open, flapping;
    QString hosts;
    const auto addHost = [&hosts](quint16 port, int n) {
        hosts += QStringLiteral("\"127.0.0.1\",\"%1\",\"Soak %2\",\"2\"\r\n").arg(port).arg(n);
    };
    for (int i = 0; i < 20; ++i) {
        open.push_back(std::make_unique<Target>());
        flapping.push_back(std::make_unique<Target>());
    }
    for (int i = 0; i < 20; ++i) {
        addHost(open[static_cast<std::size_t>(i)]->port(), 2 * i);
        addHost(flapping[static_cast<std::size_t>(i)]->port(), 2 * i + 1);
    }
    for (int i = 0; i < 10; ++i)
        addHost(refusedPort(), 40 + i);
    QTimer flap;
    QObject::connect(&flap, &QTimer::timeout, [&flapping] {
        for (auto& target : flapping) {
            if (target->listening())
                target->close();
            else
                target->listen(target->port());
        }
    });
    flap.start(70'000);

    const auto write = [&folder](const QString& name, const QString& text) {
        QFile file(folder.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(text.toUtf8());
    };
    write(QStringLiteral("host.ini"), hosts);
    // Interval 1 s, timeout 2 s, alerts on to the simulator's account, start at launch, file logging, a cap of
    // 3 SMS a day, the "I am alive" notice every minute by mail and SMS.
    write(
        QStringLiteral("setting.ini"),
        QStringLiteral("1\r\n2\r\n1\r\nops@example.com\r\nsecret\r\n+15551234567\r\n1\r\n1\r\nops@example.com\r\n3\r\n"
                       "1\r\n1\r\nops@example.com\r\n1\r\n+15551234567\r\n"));

    QProcess sim;
    int requests = 0;
    sim.setProcessChannelMode(QProcess::SeparateChannels);
    QObject::connect(&sim, &QProcess::readyReadStandardOutput, [&sim, &requests] {
        while (sim.canReadLine())
            requests += sim.readLine().contains(" GET ") ? 1 : 0;
    });
    sim.start(simulator, {QString::number(gateway.port()), QStringLiteral("--credit"), QStringLiteral("1000000")});
    if (!sim.waitForStarted() || !sim.waitForReadyRead(10'000)) {
        std::fprintf(stderr, "soak_bench: the simulator did not start\n");
        return 1;
    }

    QProcess monitored;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    monitored.setProcessEnvironment(environment);
    monitored.setProcessChannelMode(QProcess::ForwardedChannels);
    monitored.start(program, {});
    if (!monitored.waitForStarted()) {
        std::fprintf(stderr, "soak_bench: wardel did not start\n");
        return 1;
    }
    const qint64 pid = monitored.processId();

    long atTwo = -1, last = -1, peak = 0;
    int elapsed = 0;
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, [&] {
        elapsed += 10;
        last = residentKiB(pid);
        peak = std::max(peak, last);
        if (elapsed == 120)
            atTwo = last;
        if (elapsed >= minutes * 60)
            app.quit();
    });
    sample.start(10'000);
    app.exec();

    ::kill(static_cast<pid_t>(pid), SIGTERM);
    monitored.waitForFinished(20'000);
    sim.terminate();
    sim.waitForFinished(5'000);
    int logLines = 0;
    for (const QFileInfo& log : QDir(folder.path()).entryInfoList({QStringLiteral("log_*.txt")})) {
        QFile file(log.filePath());
        file.open(QIODevice::ReadOnly);
        logLines += static_cast<int>(file.readAll().count('\n'));
    }

    std::printf("soak_bench: wardel over 50 loopback targets (20 open, 20 flapping, 10 refused) for %d minutes\n",
                minutes);
    std::printf("  gateway requests    %d\n", requests);
    std::printf("  log lines           %d\n", logLines);
    std::printf("  resident at min 2   %ld KiB\n", atTwo);
    std::printf("  resident at end     %ld KiB (peak %ld KiB)\n", last, peak);
    std::printf("  growth              %ld KiB (goal < 1024)\n", last - atTwo);
    return 0;
}
