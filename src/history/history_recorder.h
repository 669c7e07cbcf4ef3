#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "common/subscription.h"
#include "history/history_store.h"
#include "log/event_log.h"
#include "monitor/finished_probe.h"
#include "platform/clock.h"
#include "platform/timer.h"

namespace wardel {

inline constexpr const char* kHistoryFileName = "history.db";

// Keeps each finished probe in the history store, off the probe's path: a probe is only queued, and the
// queue is written in one transaction from a timer of its own, 5 seconds after its first probe or at once
// when a probe of a target already queued shows that a new cycle began. A file that cannot be opened or
// written costs the history, never the monitoring: one log line, and for write errors one a day.
class HistoryRecorder {
public:
    static constexpr int kBatchMs = 5000;
    // Probes queued before the file opens (or while writes fail) are not kept past this many.
    static constexpr std::size_t kMostQueued = 10'000;

    HistoryRecorder(const Clock& clock, TimerSource& timers, EventLog& log, std::filesystem::path file);
    ~HistoryRecorder();
    HistoryRecorder(const HistoryRecorder&) = delete;
    HistoryRecorder& operator=(const HistoryRecorder&) = delete;

    // Opens the file; until then probes are queued only.
    void open();
    void record(const FinishedProbe& probe);
    // Writes what is queued now (a window that reads the history first, the program's end).
    void flush();

    HistoryStore& store() { return store_; }
    std::size_t queued() const { return queue_.size(); }

private:
    std::string today() const;

    const Clock& clock_;
    EventLog& log_;
    HistoryStore store_;
    std::unique_ptr<Timer> writeTimer_;
    std::vector<HistoryStore::Probe> queue_;
    std::unordered_set<std::string> queuedTargets_; // "host\nport" of the queued probes
    bool opened_ = false;
    std::string lastErrorDay_; // the day of the latest write error's log line
    Subscription writeTicks_;
};

} // namespace wardel
