// The probe history's costs: the CPU time recording takes per probe (the recorder's queue and its batched
// write to a real file, 100 targets a cycle), the disk a stored probe takes after a million probes, and how
// long the History window takes to open (its model read and the window painted) on 31 days of one-second
// probes of one target (2.7 million probes) and on a file of 1,000 targets. The files are made in a
// temporary folder and removed at the end.
//
// Usage: history_bench

#include <sqlite3.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/history_window.h"
#include "history/history_recorder.h"
#include "log/event_log.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_timer.h"
#include "ui/history_view.h"

namespace {

using namespace wardel;
namespace fs = std::filesystem;

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

FinishedProbe probeOf(int target, const LocalDateTime& at, int n) {
    FinishedProbe p;
    p.host = "10.0." + std::to_string(target / 256) + "." + std::to_string(target % 256);
    p.port = "443";
    p.at = at;
    p.outcome = n % 97 == 0 ? FinishedProbe::Outcome::Down : FinishedProbe::Outcome::Alive;
    p.reason = p.outcome == FinishedProbe::Outcome::Down ? FinishedProbe::Reason::Refused : FinishedProbe::Reason::None;
    p.connectMs = n % 13;
    return p;
}

// Fills a store with `perTarget` probes `stepMs` apart for each of `targets`, ending now.
void fill(HistoryStore& store, int targets, std::int64_t perTarget, std::int64_t stepMs, std::int64_t nowMs) {
    std::vector<HistoryStore::Probe> batch;
    for (int t = 0; t < targets; ++t) {
        for (std::int64_t i = 0; i < perTarget; ++i) {
            const std::int64_t at = nowMs - (perTarget - i) * stepMs;
            const bool down = (i / 600) % 50 == 0 && i % 600 < 30; // now and then half a minute down
            batch.push_back({"10.0." + std::to_string(t / 256) + "." + std::to_string(t % 256), "443", at,
                             down ? FinishedProbe::Outcome::Down : FinishedProbe::Outcome::Alive,
                             down ? FinishedProbe::Reason::Refused : FinishedProbe::Reason::None, 0,
                             down ? -1 : static_cast<int>(i % 17), false});
            if (batch.size() == 50'000) {
                store.write(batch, nowMs);
                batch.clear();
            }
        }
    }
    store.write(batch, nowMs);
}

std::int64_t tableBytes(const fs::path& file, const char* table) {
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
    const std::string sql = std::string("SELECT sum(pgsize) FROM dbstat WHERE name = '") + table + "'";
    sqlite3_stmt* s = nullptr;
    std::int64_t bytes = -1;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
        bytes = sqlite3_column_int64(s, 0);
    sqlite3_finalize(s);
    sqlite3_close(db);
    return bytes;
}

// The median of five openings of the History window of `host`: the model read and the window painted.
double openMs(HistoryRecorder& recorder, const Clock& clock, const std::string& host) {
    std::vector<double> times;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer timer;
        timer.start();
        qt::HistoryView view(std::make_unique<HistoryWindow>(recorder, clock, host, "443"), nullptr);
        view.resize(700, 500);
        view.grab();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[2];
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const fs::path folder = fs::temp_directory_path() / ("wardel-history-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    qt::QtClock clock;
    qt::QtTimerSource timers;
    AppSettings settings;
    LogBox box;
    EventLog log(clock, settings, box, folder);

    {
        // Recording: a million probes, 100 targets a cycle, each cycle one write.
        HistoryRecorder recorder(clock, timers, log, folder / "million.db");
        recorder.open();
        const LocalDateTime now = clock.now();
        const double before = cpuSeconds();
        constexpr int kTargets = 100;
        constexpr int kProbes = 1'000'000;
        LocalDateTime at = now;
        for (int n = 0; n < kProbes; ++n) {
            at = localTime(epochMs(now) - static_cast<std::int64_t>(kProbes - n) * 1000);
            recorder.record(probeOf(n % kTargets, at, n));
            if (n % kTargets == kTargets - 1)
                recorder.flush();
        }
        recorder.flush();
        const double perProbe = (cpuSeconds() - before) * 1e6 / kProbes;
        std::printf("history: recording a probe                       %8.1f us of CPU\n", perProbe);
        const std::int64_t bytes = tableBytes(folder / "million.db", "probe");
        std::printf("history: disk per stored probe, 1,000,000 probes  %8.1f bytes (file %.1f MB)\n",
                    static_cast<double>(bytes) / kProbes,
                    static_cast<double>(fs::file_size(folder / "million.db")) / 1e6);
    }
    {
        HistoryRecorder recorder(clock, timers, log, folder / "one.db");
        recorder.open();
        fill(recorder.store(), 1, 31LL * 86400, 1000, epochMs(clock.now()));
        std::printf("history: window open, 1 target, 31 days at 1 s     %8.1f ms\n",
                    openMs(recorder, clock, "10.0.0.0"));
    }
    {
        HistoryRecorder recorder(clock, timers, log, folder / "thousand.db");
        recorder.open();
        fill(recorder.store(), 1000, 31LL * 24 * 6, 600'000, epochMs(clock.now()));
        std::printf("history: window open, 1,000 targets, 31 days       %8.1f ms\n",
                    openMs(recorder, clock, "10.0.1.244"));
    }
    fs::remove_all(folder);
    return 0;
}
