// What one WriteLog costs with the log box shown in its view: with 100 lines already in the box and with
// 10,000 (the box's cap, where each new line also drops the oldest). The cost must not grow with the box.
// Each line is written, then the view repaints, as the event loop would after the handler that wrote it.
// File logging is off: the line goes to the box and its view only. The two counts take turns for 7 rounds;
// prints each, and the ratio of each round's pair, as the median with the least and the most.
// Then what one alert line with a 10 MB description (a hand-edited host.ini) costs the window: goal under
// 100 ms, as the box shows only the start of such a line.
//
// Usage: log_box_bench [lines already in the box]   (default: both counts)

#include <time.h>

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "log/event_log.h"
#include "platform/qt/qt_clock.h"
#include "spread.h"
#include "ui/log_view.h"

namespace {

using namespace wardel;

constexpr int kLinesTimed = 200;

// CPU time rather than wall time: the figure should not depend on what else the machine runs.
double threadCpuUs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// Microseconds per line for kLinesTimed lines written to a box that already holds `before` lines.
double usPerLine(std::size_t before) {
    qt::QtClock clock;
    AppSettings settings;
    LogBox box;
    EventLog log{clock, settings, box, std::filesystem::temp_directory_path()};
    for (std::size_t i = 0; i < before; ++i)
        log.WriteLog("Alert for host-" + std::to_string(i) + ".branch.example.net 8080 Down(12:00:00) Service");
    qt::LogView view;
    view.resize(529, 97);
    view.follow(&box);
    view.show();
    QApplication::processEvents();

    const double start = threadCpuUs();
    for (int i = 0; i < kLinesTimed; ++i) {
        log.WriteLog("Alert for host-" + std::to_string(i) + ".branch.example.net 8080 Down(12:00:00) Service");
        QApplication::processEvents();
    }
    return (threadCpuUs() - start) / kLinesTimed;
}

// Milliseconds for one alert line with a 10 MB description, written to a box of 100 lines and repainted.
double msForLongLine() {
    qt::QtClock clock;
    AppSettings settings;
    LogBox box;
    EventLog log{clock, settings, box, std::filesystem::temp_directory_path()};
    for (int i = 0; i < 100; ++i)
        log.WriteLog("Alert for host-" + std::to_string(i) + ".branch.example.net 8080 Down(12:00:00) Service");
    qt::LogView view;
    view.resize(529, 97);
    view.follow(&box);
    view.show();
    QApplication::processEvents();
    const std::string line = "Alert for host.example.net 8080 Down(12:00:00) " + std::string(10 * 1000 * 1000, 'd');

    const double start = threadCpuUs();
    log.WriteLog(line);
    QApplication::processEvents();
    return (threadCpuUs() - start) / 1000;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // One count alone, for a profiler.
    if (argc > 1) {
        std::printf("%.1f us\n", usPerLine(static_cast<std::size_t>(std::atol(argv[1]))));
        return 0;
    }
    // The two counts take turns, so that what else the machine does meets both alike.
    std::vector<double> few;
    std::vector<double> full;
    for (int i = 0; i < 7; ++i) {
        few.push_back(usPerLine(100));
        full.push_back(usPerLine(LogBox::kMaxLines));
    }
    using namespace wardel::bench;
    std::printf("log_box_bench: WriteLog and the view's repaint, CPU time per line, median (least .. most) of 7 "
                "rounds of %d lines\n",
                kLinesTimed);
    report("log box, 100 lines in the box", spreadOf(few), "us", 44);
    report("log box, 10,000 lines in the box", spreadOf(full), "us", 44);
    report("log box ratio, 10,000 / 100 (flat: close to 1)", spreadOf(ratios(full, few)), "ratio", 44, "%.2f");
    std::vector<double> longLine;
    for (int i = 0; i < 5; ++i)
        longLine.push_back(msForLongLine());
    report("one line, 10 MB description (goal: under 100)", spreadOf(longLine), "ms", 44);
    return 0;
}
