#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "history/history_recorder.h"
#include "history/history_store.h"
#include "platform/clock.h"

namespace wardel {

// The History window of one target (host and port) as a presentation model: the uptime over the last 24
// hours, 7 days and 30 days, the chart's figures for the chosen span, and the outages, newest first.
class HistoryWindow {
public:
    enum class Span { Day, Week, Month };
    struct OutageLine {
        std::string began;
        std::string ended; // "still down" while it lasts
        std::string duration;
        std::string reason;
        std::string alert; // "alert raised" or "no alert"
    };
    static constexpr int kMostOutages = 500;

    HistoryWindow(HistoryRecorder& history, const Clock& clock, std::string host, std::string port);

    // Writes the queued probes, then reads everything the window shows again.
    void refresh();
    void chooseSpan(Span span);

    const std::string& host() const { return host_; }
    const std::string& port() const { return port_; }
    // "History of <host> <port>"
    std::string title() const { return "History of " + host_ + " " + port_; }
    // "99.93 %", or "no probes" when the span holds none.
    const std::string& uptimeDay() const { return uptime_[0]; }
    const std::string& uptimeWeek() const { return uptime_[1]; }
    const std::string& uptimeMonth() const { return uptime_[2]; }
    Span span() const { return span_; }
    // The chart: connect-time figures per bucket from chartFromMs() to chartToMs().
    const std::vector<HistoryStore::Figures>& chart() const { return chart_; }
    std::int64_t chartFromMs() const { return chartToMs_ - spanMs(span_); }
    std::int64_t chartToMs() const { return chartToMs_; }
    std::int64_t bucketMs() const;
    // What the chart shows, in words, for a screen reader.
    std::string chartSummary() const;
    const std::vector<OutageLine>& outages() const { return outages_; }

    static std::int64_t spanMs(Span span);

private:
    void readChart();

    HistoryRecorder& history_;
    const Clock& clock_;
    std::string host_;
    std::string port_;
    std::string uptime_[3];
    Span span_ = Span::Day;
    std::int64_t chartToMs_ = 0;
    std::vector<HistoryStore::Figures> chart_;
    std::vector<OutageLine> outages_;
};

// "99.93 %": a share as a percentage with two decimals, cut rather than rounded, so that a span with a
// failure never reads 100.00 %.
std::string percentText(double share);
// "uptime 24 h 99.93 %; connect 3 ms": what the Last Status tip adds; parts the history cannot tell are left out.
std::string historyTip(HistoryStore& store, const std::string& host, const std::string& port, std::int64_t nowMs);

} // namespace wardel
