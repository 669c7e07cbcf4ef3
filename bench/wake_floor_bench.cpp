// What one wake-up a second costs any Qt widget program on this machine, as a floor under Wardel's cost per
// probe (Wardel probes one target per wake-up). A window like Wardel's, offscreen, is woken once a second by a
// timer, for the given time in each of four ways: doing nothing; one loopback TCP connect that is refused, as a
// probe's socket work; drawing a new status line like Wardel's into a label; and both. Prints the CPU time (user
// and system) per wake-up for each.
//
// Usage: wake_floor_bench [seconds per way [way...]]   (default 30 s, each of the ways 0 to 3 in turn)

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "support/loopback_targets.h"

namespace {

// CPU time of this thread so far, in nanoseconds.
long long cpuNanoseconds() {
    std::ifstream stat("/proc/thread-self/schedstat");
    long long ns = 0;
    stat >> ns;
    return ns;
}

void refusedConnect(quint16 port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    (void)::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::close(fd);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 30;
    const quint16 refused = wardel::test::refusingPort();

    QWidget window;
    window.resize(820, 700);
    QLabel status(&window);
    status.setGeometry(8, 504, 700, 17);
    window.show();

    const char* ways[] = {"wake-up alone", "wake-up + refused connect", "wake-up + status line",
                          "wake-up + status line + refused connect"};
    std::vector<int> chosen;
    for (int i = 2; i < argc; ++i)
        if (const int w = std::atoi(argv[i]); w >= 0 && w < 4)
            chosen.push_back(w);
    if (chosen.empty())
        chosen = {0, 1, 2, 3};
    std::size_t next = 0;
    int way = chosen[next];
    int wakes = 0;
    long long startNs = 0;
    QTimer tick;
    tick.setInterval(1000);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (wakes == 0)
            startNs = cpuNanoseconds(); // the first wake of a way only starts its count
        else if (wakes == seconds) {
            std::printf("  %-42s %6.0f us of CPU per wake-up\n", ways[way],
                        (cpuNanoseconds() - startNs) / 1000.0 / (wakes - 1));
            std::fflush(stdout);
            wakes = 0;
            if (++next == chosen.size())
                QApplication::quit();
            else
                way = chosen[next];
            return;
        }
        ++wakes;
        if (way >= 2)
            status.setText(QStringLiteral("Current status : now 2026-12-07 12:00:%1 checking 127.0.0.1 Port : 40001")
                               .arg(wakes % 60, 2, 10, QLatin1Char('0')));
        if (way == 1 || way == 3)
            refusedConnect(refused);
    });
    std::printf("one wake-up a second, %d s per way, window offscreen:\n", seconds);
    tick.start();
    return QApplication::exec();
}
