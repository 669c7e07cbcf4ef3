#include "history/history_recorder.h"

#include <cstdio>

namespace wardel {

HistoryRecorder::HistoryRecorder(const Clock& clock, TimerSource& timers, EventLog& log, std::filesystem::path file)
    : clock_(clock), log_(log), store_(std::move(file)), writeTimer_(timers.createTimer(kBatchMs, false)) {
    writeTicks_ = writeTimer_->subscribeTick([this] { flush(); });
}

HistoryRecorder::~HistoryRecorder() {
    flush();
}

std::string HistoryRecorder::today() const {
    const LocalDateTime now = clock_.now();
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", now.year % 10000, now.month % 100, now.day % 100);
    return text;
}

void HistoryRecorder::open() {
    opened_ = true;
    const auto [opened, line] = store_.open(today());
    if (!line.empty())
        log_.WriteLog(line);
    if (!queue_.empty())
        writeTimer_->setEnabled(true);
}

void HistoryRecorder::record(const FinishedProbe& probe) {
    if (opened_ && !store_.isOpen())
        return; // the history is off for this run; its log line is written
    if (queue_.size() >= kMostQueued)
        return;
    const bool newCycle = !queuedTargets_.insert(probe.host + '\n' + probe.port).second;
    queue_.push_back({probe.host, probe.port, epochMs(probe.at), probe.outcome, probe.reason, probe.errorNumber,
                      probe.connectMs, probe.alertRaised});
    if (!opened_)
        return;
    if (newCycle)
        writeTimer_->setInterval(1); // a moment later, from the event loop, after the probe has ended
    else if (!writeTimer_->enabled())
        writeTimer_->setInterval(kBatchMs);
    writeTimer_->setEnabled(true);
}

void HistoryRecorder::flush() {
    writeTimer_->setEnabled(false);
    if (!opened_ || queue_.empty())
        return;
    std::vector<HistoryStore::Probe> batch;
    batch.swap(queue_);
    queuedTargets_.clear();
    std::string error;
    if (!store_.isOpen() || store_.write(batch, epochMs(clock_.now()), &error))
        return;
    if (store_.damaged()) {
        store_.close();
        open();
        return;
    }
    if (today() != lastErrorDay_) {
        lastErrorDay_ = today();
        log_.WriteLog("History File Write Error : " + error);
    }
}

} // namespace wardel
