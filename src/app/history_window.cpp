#include "app/history_window.h"

#include <cmath>
#include <cstdio>

#include "common/time_format.h"
#include "hosts/row_history.h"

namespace wardel {

namespace {

std::string uptimeText(HistoryStore& store, const std::string& host, const std::string& port, std::int64_t sinceMs) {
    const auto share = store.uptime(host, port, sinceMs);
    return share ? percentText(*share) : "no probes";
}

} // namespace

std::string percentText(double share) {
    const double hundredths = std::floor(share * 10000.0 + 1e-9);
    char text[24];
    std::snprintf(text, sizeof text, "%.2f %%", hundredths / 100.0);
    return text;
}

std::string historyTip(HistoryStore& store, const std::string& host, const std::string& port, std::int64_t nowMs) {
    std::string tip;
    if (const auto share = store.uptime(host, port, nowMs - HistoryStore::kDayMs))
        tip = "uptime 24 h " + percentText(*share);
    if (const auto median = store.medianConnect(host, port, nowMs - HistoryStore::kHourMs))
        tip += (tip.empty() ? "" : "; ") + std::string("connect ") + std::to_string(*median) + " ms";
    return tip;
}

HistoryWindow::HistoryWindow(HistoryRecorder& history, const Clock& clock, std::string host, std::string port)
    : history_(history), clock_(clock), host_(std::move(host)), port_(std::move(port)) {
    refresh();
}

std::int64_t HistoryWindow::spanMs(Span span) {
    switch (span) {
    case Span::Week:
        return 7 * HistoryStore::kDayMs;
    case Span::Month:
        return 30 * HistoryStore::kDayMs;
    case Span::Day:
        break;
    }
    return HistoryStore::kDayMs;
}

std::int64_t HistoryWindow::bucketMs() const {
    // The day's chart reads the five-minute figures; the longer ones the hourly figures.
    return span_ == Span::Day ? HistoryStore::kSlotMs : HistoryStore::kHourMs;
}

void HistoryWindow::refresh() {
    history_.flush();
    HistoryStore& store = history_.store();
    const std::int64_t now = epochMs(clock_.now());
    uptime_[0] = uptimeText(store, host_, port_, now - spanMs(Span::Day));
    uptime_[1] = uptimeText(store, host_, port_, now - spanMs(Span::Week));
    uptime_[2] = uptimeText(store, host_, port_, now - spanMs(Span::Month));
    outages_.clear();
    for (const HistoryStore::Outage& outage : store.outages(host_, port_, kMostOutages)) {
        OutageLine line;
        line.began = formatDateTime(localTime(outage.beganMs));
        line.ended = outage.endedMs ? formatDateTime(localTime(*outage.endedMs)) : "still down";
        line.duration = durationText(((outage.endedMs ? *outage.endedMs : now) - outage.beganMs) / 1000);
        line.reason = reasonText(outage.reason, outage.errorNumber);
        line.alert = outage.alertRaised ? "alert raised" : "no alert";
        outages_.push_back(std::move(line));
    }
    chartToMs_ = now;
    readChart();
}

void HistoryWindow::chooseSpan(Span span) {
    span_ = span;
    chartToMs_ = epochMs(clock_.now());
    readChart();
}

void HistoryWindow::readChart() {
    chart_ = history_.store().figures(host_, port_, chartFromMs(), span_ != Span::Day);
}

std::string HistoryWindow::chartSummary() const {
    std::int64_t failures = 0;
    int least = -1;
    int greatest = -1;
    for (const HistoryStore::Figures& f : chart_) {
        failures += f.failures;
        if (f.leastMs >= 0 && (least < 0 || f.leastMs < least))
            least = f.leastMs;
        greatest = std::max(greatest, f.greatestMs);
    }
    if (chart_.empty())
        return "No probes in this span";
    std::string summary = "Connect time ";
    summary += least < 0 ? "unknown" : std::to_string(least) + " to " + std::to_string(greatest) + " ms";
    return summary + ", " + std::to_string(failures) + " failed probes";
}

} // namespace wardel
