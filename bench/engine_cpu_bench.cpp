// How much of the machine the monitor takes while it watches: the real engine on the real clock, timers and
// probe socket, cycling over loopback targets (some open, some refusing, two that never answer, one that
// streams data at the probe as fast as it is taken) with a one-second pause, for at least a minute. Prints the
// CPU time used, its share of the wall time, the peak memory and how much the streaming target got rid of. A
// monitor that waits by spinning would show close to 100 %; the goal is below 1 %. A probe that read what
// targets send would show the streamed bytes in its memory and CPU time.
//
// Usage: engine_cpu_bench [seconds]   (default 60)

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/main_controls.h"
#include "log/event_log.h"
#include "monitor/monitor_engine.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_probe_socket.h"
#include "platform/qt/qt_timer.h"
#include "support/fakes.h"
#include "support/loopback_targets.h"

namespace {

using namespace wardel;
using wardel::test::FloodingTarget;
using wardel::test::refusingPort;
using wardel::test::SilentTarget;

class CountingAlerts : public AlertSink {
public:
    void SendAlert(const Alert&) override { ++count; }
    int count = 0;
};

// Accepts every connection and drops it at once, as a busy service would.
class OpenTarget {
public:
    OpenTarget() {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* peer = server_.nextPendingConnection())
                peer->deleteLater();
        });
    }
    quint16 port() const { return server_.serverPort(); }

private:
    QTcpServer server_;
};

double cpuSeconds(const rusage& usage) {
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;

    std::vector<std::unique_ptr<OpenTarget>> open;
    for (int i = 0; i < 3; ++i)
        open.push_back(std::make_unique<OpenTarget>());
    SilentTarget silent1, silent2;
    FloodingTarget flooding;

    const auto folder = std::filesystem::temp_directory_path() / ("wardel-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);

    qt::QtClock clock;
    qt::QtTimerSource timers;
    qt::QtProbeSocket socket;
    // The parts of the window the engine does not use while it monitors: the tests' fakes.
    test::FakeMessageBox messages;
    struct {
        AppSettings settings;
        MainControls controls;
        HostTable grid;
    } ctx;
    LogBox logBox;
    EventLog log{clock, ctx.settings, logBox, folder};
    const auto timer1 = timers.createTimer(1000, false);
    const auto timer2 = timers.createTimer(1000, false);
    const auto timer3 = timers.createTimer(1000, false);
    CountingAlerts alerts;
    MonitorEngine engine{clock,
                         {*timer1, *timer2, *timer3},
                         timers,
                         socket,
                         messages,
                         ctx.grid,
                         {ctx.controls.cmdMonitor, ctx.controls.cmdAdd, ctx.controls.Label2},
                         ctx.settings,
                         log,
                         alerts};

    std::vector<std::pair<std::string, quint16>> targets;
    for (const auto& target : open)
        targets.emplace_back("127.0.0.1", target->port());
    for (int i = 0; i < 3; ++i)
        targets.emplace_back("127.0.0.1", refusingPort());
    targets.emplace_back("127.0.0.1", silent1.port());
    targets.emplace_back("127.0.0.1", silent2.port());
    targets.emplace_back("127.0.0.1", flooding.port());
    for (const auto& [host, port] : targets) {
        const int row = ctx.grid.isEmpty() ? 1 : ctx.grid.appendRow();
        ctx.grid.setCell(row, HostTable::colHost, host);
        ctx.grid.setCell(row, HostTable::colPort, std::to_string(port));
        ctx.grid.setCell(row, HostTable::colTimeoutLimit, "3");
        ctx.grid.setCell(row, HostTable::colCount, "0");
    }
    ctx.settings.timeInterval = "1";
    ctx.settings.timeOut = "2";

    int cycles = 0;
    const Subscription cycleEnds = ctx.controls.board.subscribe([&](const Control& control) {
        if (&control == &ctx.controls.Label2 && control.text().rfind("Current status : now ", 0) == 0)
            ++cycles;
    });

    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    QElapsedTimer wall;
    wall.start();
    engine.cmdMonitor_Click();
    QTimer::singleShot(seconds * 1000, Qt::PreciseTimer, &app, &QCoreApplication::quit);
    app.exec();
    const double wallSeconds = static_cast<double>(wall.elapsed()) / 1000.0;
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    std::filesystem::remove_all(folder);

    const double cpu = cpuSeconds(after) - cpuSeconds(before);
    std::printf("engine_cpu_bench: %zu targets (3 open, 3 refusing, 2 silent, 1 flooding), interval 1 s, "
                "timeout 2 s\n",
                targets.size());
    std::printf("  wall time       %.1f s\n", wallSeconds);
    std::printf("  cycles ended    %d\n", cycles);
    std::printf("  alerts raised   %d\n", alerts.count);
    std::printf("  CPU time        %.3f s\n", cpu);
    std::printf("  CPU share       %.3f %% of one core (goal < 1 %%)\n", 100.0 * cpu / wallSeconds);
    std::printf("  peak memory     %ld KiB (max resident set)\n", after.ru_maxrss);
    std::printf("  flooded         %.1f MiB taken from the streaming target\n",
                static_cast<double>(flooding.sent()) / (1024.0 * 1024.0));
    return 0;
}
