#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "monitor/finished_probe.h"

struct sqlite3;
struct sqlite3_stmt;

namespace wardel {

// The probe history in one SQLite file, history.db (how it is kept: history_store.cpp). Times are
// milliseconds since 1970 (UTC). Every call runs on the event loop's thread and returns at once for the
// sizes the program keeps; only write() changes the file, in one transaction.
class HistoryStore {
public:
    static constexpr int kSchemaVersion = 2;
    static constexpr std::int64_t kHourMs = 3'600'000;
    static constexpr std::int64_t kDayMs = 24 * kHourMs;
    static constexpr std::int64_t kProbeKeptMs = 31 * kDayMs;
    static constexpr std::int64_t kHourlyKeptMs = 400 * kDayMs;
    static constexpr std::int64_t kSlotMs = 300'000; // the day chart's five minutes
    static constexpr std::int64_t kSlotKeptMs = 2 * kDayMs;

    // One stored probe.
    struct Probe {
        std::string host;
        std::string port;
        std::int64_t atMs = 0;
        FinishedProbe::Outcome outcome = FinishedProbe::Outcome::Alive;
        FinishedProbe::Reason reason = FinishedProbe::Reason::None;
        int errorNumber = 0;
        int connectMs = -1;
        bool alertRaised = false;
    };
    // The figures of one stretch of time: an hour, or a bucket of the chart.
    struct Figures {
        std::int64_t startMs = 0;
        std::int64_t probes = 0;
        std::int64_t failures = 0;
        int leastMs = -1; // connect times of the probes that answered; -1 when none did
        int meanMs = -1;
        int greatestMs = -1;
    };
    struct Outage {
        std::int64_t beganMs = 0;
        std::optional<std::int64_t> endedMs; // none while still down
        FinishedProbe::Reason reason = FinishedProbe::Reason::None;
        int errorNumber = 0;
        bool alertRaised = false;
    };
    enum class Opened { Fresh, Kept, MovedAside, Unavailable };

    explicit HistoryStore(std::filesystem::path file);
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    // Opens the file (creating or migrating it). A damaged file, or one of a later version, is renamed to
    // "history.db.damaged-<dateStamp>" and a new one started. `readOnly` is for the export beside a running
    // program. The result's text is the log line to write, empty when there is none.
    std::pair<Opened, std::string> open(const std::string& dateStamp, bool readOnly = false);
    bool isOpen() const { return db_ != nullptr; }
    void close();

    // Stores `probes` and prunes a little of what is older than its time to keep, in one transaction.
    // False when the write failed (the batch is lost; the file stays whole); `error` then says why.
    bool write(const std::vector<Probe>& probes, std::int64_t nowMs, std::string* error = nullptr);
    // A damaged file found by a write: closes it so that the caller can open a new one.
    bool damaged() const { return damaged_; }

    // Share of probes that answered since `sinceMs`, by whole hours; none without probes.
    std::optional<double> uptime(const std::string& host, const std::string& port, std::int64_t sinceMs);
    // The chart's figures from `fromMs` on, per hour or per five minutes (the last two days only), summed as
    // the probes were stored.
    std::vector<Figures> figures(const std::string& host, const std::string& port, std::int64_t fromMs, bool hourly);
    // Newest first, at most `limit`.
    std::vector<Outage> outages(const std::string& host, const std::string& port, int limit);
    // The median connect time of the probes that answered since `sinceMs`.
    std::optional<int> medianConnect(const std::string& host, const std::string& port, std::int64_t sinceMs);
    // Every probe in [fromMs, untilMs), in time order, then by host and port. False on a read error.
    bool eachProbe(std::int64_t fromMs, std::int64_t untilMs, const std::function<void(const Probe&)>& take);

private:
    bool exec(const char* sql);
    bool migrate();
    sqlite3_stmt* statement(const char* sql);
    std::optional<std::int64_t> targetId(const std::string& host, const std::string& port, bool create);
    bool storeProbe(const Probe& probe);
    bool pruneStep(std::int64_t nowMs);

    std::filesystem::path file_;
    sqlite3* db_ = nullptr;
    bool damaged_ = false;
    std::map<const char*, sqlite3_stmt*> statements_; // prepared once, by their text's address
    std::map<std::pair<std::string, std::string>, std::int64_t> targets_;
    std::map<std::int64_t, std::int64_t> openOutages_; // target → its outage still down, 0 when none
    std::int64_t pruneTarget_ = 0;                     // where the pruning goes on
};

// Milliseconds since 1970 (UTC) of a time on the local wall clock, and back.
std::int64_t epochMs(const LocalDateTime& local);
LocalDateTime localTime(std::int64_t epochMs);

} // namespace wardel
