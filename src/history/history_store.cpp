// The probe history in SQLite, through its C interface.
//
// Five tables: `target` names each host and port once (a row deleted from the grid keeps its target, so the
// same host and port added again continue its history); `probe` keeps every probe for 31 days, keyed by
// target and time without a row id, so its key is its only index; `hourly` keeps per-hour figures for 400
// days, summed as the probes are stored, so uptime and the longer charts never read the probes; `outage`
// keeps each run of failures of a target, opened by its first failure and ended by the next answer; `slot`
// keeps five-minute figures for two days, which the day's chart reads.
//
// The journal is a write-ahead log with synchronous=NORMAL: a write is one transaction, so a killed program
// loses at most the batch it was writing and the file stays whole. The schema's version is in user_version;
// kMigrations brings an older file up step by step. Pruning deletes at most kPruneRows probes of one
// target per write, taking the targets in turn, so it never holds the event loop for long.

#include "history/history_store.h"

#include <algorithm>
#include <ctime>
#include <sqlite3.h>
#include <system_error>

#include "common/time_format.h"

namespace wardel {

namespace {

constexpr int kTooNew = -1; // a file of a later version, which this program cannot read
constexpr int kPruneRows = 1000;

// Each entry brings the file from version i to i + 1.
const char* const kMigrations[] = {
    "CREATE TABLE target(id INTEGER PRIMARY KEY, host TEXT NOT NULL, port TEXT NOT NULL, UNIQUE(host, port));"
    "CREATE TABLE probe(target INTEGER NOT NULL, at INTEGER NOT NULL, outcome INTEGER NOT NULL,"
    " reason INTEGER NOT NULL, error INTEGER NOT NULL, connect INTEGER, PRIMARY KEY(target, at)) WITHOUT ROWID;"
    "CREATE TABLE hourly(target INTEGER NOT NULL, hour INTEGER NOT NULL, probes INTEGER NOT NULL,"
    " failures INTEGER NOT NULL, timed INTEGER NOT NULL, least INTEGER, total INTEGER NOT NULL, greatest INTEGER,"
    " PRIMARY KEY(target, hour)) WITHOUT ROWID;"
    "CREATE TABLE outage(id INTEGER PRIMARY KEY, target INTEGER NOT NULL, began INTEGER NOT NULL, ended INTEGER,"
    " reason INTEGER NOT NULL, error INTEGER NOT NULL, alerted INTEGER NOT NULL);"
    "CREATE INDEX outage_by_target ON outage(target, began);",
    // Five-minute figures of the last two days, for the day's chart; filled from the probes already kept.
    "CREATE TABLE slot(target INTEGER NOT NULL, slot INTEGER NOT NULL, probes INTEGER NOT NULL,"
    " failures INTEGER NOT NULL, timed INTEGER NOT NULL, least INTEGER, total INTEGER NOT NULL, greatest INTEGER,"
    " PRIMARY KEY(target, slot)) WITHOUT ROWID;"
    "INSERT INTO slot SELECT target, at / 300000, count(*), sum(outcome != 0), count(CASE WHEN outcome = 0 THEN"
    " connect END), min(CASE WHEN outcome = 0 THEN connect END), coalesce(sum(CASE WHEN outcome = 0 THEN connect"
    " END), 0), max(CASE WHEN outcome = 0 THEN connect END) FROM probe"
    " WHERE at >= (strftime('%s', 'now') - 2 * 86400) * 1000 GROUP BY target, at / 300000;",
};
static_assert(std::size(kMigrations) == HistoryStore::kSchemaVersion);

const char* const kFindTarget = "SELECT id FROM target WHERE host = ?1 AND port = ?2";
const char* const kAddTarget = "INSERT INTO target(host, port) VALUES(?1, ?2)";
const char* const kAddProbe =
    "INSERT OR REPLACE INTO probe(target, at, outcome, reason, error, connect) VALUES(?1, ?2, ?3, ?4, ?5, ?6)";
const char* const kAddToHour =
    "INSERT INTO hourly VALUES(?1, ?2, 1, ?3, ?4, ?5, coalesce(?5, 0), ?5) ON CONFLICT(target, hour) DO UPDATE SET"
    " probes = probes + 1, failures = failures + excluded.failures, timed = timed + excluded.timed,"
    " least = min(coalesce(least, excluded.least), coalesce(excluded.least, least)), total = total + excluded.total,"
    " greatest = max(coalesce(greatest, excluded.greatest), coalesce(excluded.greatest, greatest))";
const char* const kAddToSlot =
    "INSERT INTO slot VALUES(?1, ?2, 1, ?3, ?4, ?5, coalesce(?5, 0), ?5) ON CONFLICT(target, slot) DO UPDATE SET"
    " probes = probes + 1, failures = failures + excluded.failures, timed = timed + excluded.timed,"
    " least = min(coalesce(least, excluded.least), coalesce(excluded.least, least)), total = total + excluded.total,"
    " greatest = max(coalesce(greatest, excluded.greatest), coalesce(excluded.greatest, greatest))";
const char* const kFindOpenOutage =
    "SELECT id FROM outage WHERE target = ?1 AND ended IS NULL ORDER BY began DESC LIMIT 1";
const char* const kOpenOutage =
    "INSERT INTO outage(target, began, ended, reason, error, alerted) VALUES(?1, ?2, NULL, ?3, ?4, ?5)";
const char* const kMarkOutageAlerted = "UPDATE outage SET alerted = 1 WHERE id = ?1";
const char* const kEndOutage = "UPDATE outage SET ended = ?2 WHERE id = ?1";
const char* const kNextPruneTarget = "SELECT id FROM target WHERE id > ?1 ORDER BY id LIMIT 1";
const char* const kPruneProbes =
    "DELETE FROM probe WHERE target = ?1 AND at < ?2 AND at <= coalesce((SELECT at FROM probe WHERE target = ?1"
    " AND at < ?2 ORDER BY at LIMIT 1 OFFSET ?3), ?2)";
const char* const kPruneHours = "DELETE FROM hourly WHERE target = ?1 AND hour < ?2";
const char* const kPruneSlots = "DELETE FROM slot WHERE target = ?1 AND slot < ?2";
const char* const kPruneOutages = "DELETE FROM outage WHERE target = ?1 AND ended IS NOT NULL AND ended < ?2";
const char* const kUptime = "SELECT sum(probes), sum(failures) FROM hourly WHERE target = ?1 AND hour >= ?2";
const char* const kHours = "SELECT hour, probes, failures, least, total, timed, greatest FROM hourly"
                           " WHERE target = ?1 AND hour >= ?2 ORDER BY hour";
const char* const kSlots = "SELECT slot, probes, failures, least, total, timed, greatest FROM slot"
                           " WHERE target = ?1 AND slot >= ?2 ORDER BY slot";
const char* const kOutages = "SELECT began, ended, reason, error, alerted FROM outage WHERE target = ?1"
                             " ORDER BY began DESC LIMIT ?2";
const char* const kConnectTimes =
    "SELECT connect FROM probe WHERE target = ?1 AND at >= ?2 AND outcome = 0 AND connect IS NOT NULL";
const char* const kEachProbe = "SELECT p.at, t.host, t.port, p.outcome, p.reason, p.error, p.connect FROM probe p"
                               " JOIN target t ON t.id = p.target WHERE p.at >= ?1 AND p.at < ?2"
                               " ORDER BY p.at, t.host, t.port";

// Resets a prepared statement when its use ends, so it holds no read lock and no bound text.
class Use {
public:
    explicit Use(sqlite3_stmt* statement) : s(statement) {}
    ~Use() {
        if (s) {
            sqlite3_reset(s);
            sqlite3_clear_bindings(s);
        }
    }
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;
    explicit operator bool() const { return s != nullptr; }
    Use& bind(int index, std::int64_t value) {
        sqlite3_bind_int64(s, index, value);
        return *this;
    }
    Use& bind(int index, const std::string& text) {
        sqlite3_bind_text(s, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Use& bindTime(int index, int ms) { // a connect time, NULL when unknown
        if (ms < 0)
            sqlite3_bind_null(s, index);
        else
            sqlite3_bind_int64(s, index, ms);
        return *this;
    }
    int step() { return sqlite3_step(s); }
    std::int64_t integer(int column) const { return sqlite3_column_int64(s, column); }
    bool null(int column) const { return sqlite3_column_type(s, column) == SQLITE_NULL; }
    int time(int column) const { return null(column) ? -1 : static_cast<int>(integer(column)); }
    std::string text(int column) const {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
        return bytes ? std::string(bytes, static_cast<std::size_t>(sqlite3_column_bytes(s, column))) : std::string();
    }
    sqlite3_stmt* s;
};

bool damagedCode(int code) {
    const int primary = code & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB || code == kTooNew;
}

// Renames `file` (and its log files) to `file`.damaged-<stamp>, numbered when that name is taken.
std::filesystem::path moveAside(const std::filesystem::path& file, const std::string& stamp) {
    std::error_code error;
    std::filesystem::path aside = file.string() + ".damaged-" + stamp;
    for (int n = 2; std::filesystem::exists(aside, error); ++n)
        aside = file.string() + ".damaged-" + stamp + "-" + std::to_string(n);
    std::filesystem::rename(file, aside, error);
    if (error)
        return {};
    for (const char* side : {"-wal", "-shm"}) {
        std::error_code ignored;
        if (std::filesystem::exists(file.string() + side, ignored))
            std::filesystem::rename(file.string() + side, aside.string() + side, ignored);
    }
    return aside;
}

} // namespace

HistoryStore::HistoryStore(std::filesystem::path file) : file_(std::move(file)) {}

HistoryStore::~HistoryStore() {
    close();
}

void HistoryStore::close() {
    for (auto& [text, statement] : statements_)
        sqlite3_finalize(statement);
    statements_.clear();
    targets_.clear();
    openOutages_.clear();
    if (db_)
        sqlite3_close(db_);
    db_ = nullptr;
    damaged_ = false;
}

std::pair<HistoryStore::Opened, std::string> HistoryStore::open(const std::string& dateStamp, bool readOnly) {
    close();
    std::error_code error;
    const bool existed = std::filesystem::exists(file_, error);
    const std::string unavailable = "History File Error : " + file_.string() + " cannot be opened";
    // Something else in its place (a folder, say) is not ours to move.
    if (existed && !std::filesystem::is_regular_file(file_, error))
        return {Opened::Unavailable, unavailable};
    if (readOnly && !existed)
        return {Opened::Unavailable, unavailable};
    const auto attempt = [&] {
        const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        int code = sqlite3_open_v2(file_.c_str(), &db_, flags, nullptr);
        if (code != SQLITE_OK)
            return code;
        sqlite3_extended_result_codes(db_, 1);
        if (readOnly)
            sqlite3_busy_timeout(db_, 2000); // the export waits for the program's write to end, not the program
        sqlite3_stmt* version = nullptr;
        code = sqlite3_prepare_v2(db_, "PRAGMA user_version", -1, &version, nullptr);
        int found = 0;
        if (code == SQLITE_OK) {
            code = sqlite3_step(version);
            found = sqlite3_column_int(version, 0);
            code = code == SQLITE_ROW ? SQLITE_OK : code;
        }
        sqlite3_finalize(version);
        if (code != SQLITE_OK)
            return code;
        if (found > kSchemaVersion)
            return kTooNew;
        if (readOnly)
            return found == kSchemaVersion ? SQLITE_OK : SQLITE_CANTOPEN;
        if (!exec("PRAGMA journal_mode = WAL") || !exec("PRAGMA synchronous = NORMAL"))
            return sqlite3_extended_errcode(db_);
        return migrate() ? SQLITE_OK : sqlite3_extended_errcode(db_);
    };
    int code = attempt();
    if (code == SQLITE_OK)
        return {existed ? Opened::Kept : Opened::Fresh, ""};
    close();
    if (!readOnly && existed && damagedCode(code)) {
        const std::filesystem::path aside = moveAside(file_, dateStamp);
        if (!aside.empty()) {
            code = attempt();
            if (code == SQLITE_OK)
                return {Opened::MovedAside, "History File Damaged : " + file_.string() + " moved to " +
                                                aside.filename().string() + ", a new one started"};
            close();
        }
    }
    return {Opened::Unavailable,
            unavailable + " (" + (code == kTooNew ? "a later version" : sqlite3_errstr(code)) + ")"};
}

bool HistoryStore::exec(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool HistoryStore::migrate() {
    sqlite3_stmt* read = nullptr;
    sqlite3_prepare_v2(db_, "PRAGMA user_version", -1, &read, nullptr);
    const int version = sqlite3_step(read) == SQLITE_ROW ? sqlite3_column_int(read, 0) : -1;
    sqlite3_finalize(read);
    if (version < 0)
        return false;
    for (int from = version; from < kSchemaVersion; ++from) {
        const std::string setVersion = "PRAGMA user_version = " + std::to_string(from + 1);
        if (!exec("BEGIN IMMEDIATE"))
            return false;
        if (!exec(kMigrations[from]) || !exec(setVersion.c_str())) {
            exec("ROLLBACK");
            return false;
        }
        if (!exec("COMMIT"))
            return false;
    }
    return true;
}

sqlite3_stmt* HistoryStore::statement(const char* sql) {
    const auto found = statements_.find(sql);
    if (found != statements_.end())
        return found->second;
    sqlite3_stmt* prepared = nullptr;
    if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &prepared, nullptr) != SQLITE_OK)
        return nullptr;
    statements_.emplace(sql, prepared);
    return prepared;
}

std::optional<std::int64_t> HistoryStore::targetId(const std::string& host, const std::string& port, bool create) {
    const auto key = std::make_pair(host, port);
    if (const auto known = targets_.find(key); known != targets_.end())
        return known->second;
    if (!db_)
        return std::nullopt;
    {
        Use find(statement(kFindTarget));
        if (!find)
            return std::nullopt;
        find.bind(1, host).bind(2, port);
        if (find.step() == SQLITE_ROW)
            return targets_[key] = find.integer(0);
    }
    if (!create)
        return std::nullopt;
    Use add(statement(kAddTarget));
    if (!add || add.bind(1, host).bind(2, port).step() != SQLITE_DONE)
        return std::nullopt;
    return targets_[key] = sqlite3_last_insert_rowid(db_);
}

bool HistoryStore::storeProbe(const Probe& probe) {
    const auto target = targetId(probe.host, probe.port, true);
    if (!target)
        return false;
    const bool failed = probe.outcome != FinishedProbe::Outcome::Alive;
    const int connectMs = failed ? -1 : probe.connectMs;
    {
        Use add(statement(kAddProbe));
        if (!add)
            return false;
        add.bind(1, *target).bind(2, probe.atMs).bind(3, static_cast<int>(probe.outcome));
        add.bind(4, static_cast<int>(probe.reason)).bind(5, probe.errorNumber).bindTime(6, probe.connectMs);
        if (add.step() != SQLITE_DONE)
            return false;
    }
    {
        Use hour(statement(kAddToHour));
        if (!hour)
            return false;
        hour.bind(1, *target).bind(2, probe.atMs / kHourMs).bind(3, failed ? 1 : 0).bind(4, connectMs < 0 ? 0 : 1);
        if (hour.bindTime(5, connectMs).step() != SQLITE_DONE)
            return false;
    }
    {
        Use slot(statement(kAddToSlot));
        if (!slot)
            return false;
        slot.bind(1, *target).bind(2, probe.atMs / kSlotMs).bind(3, failed ? 1 : 0).bind(4, connectMs < 0 ? 0 : 1);
        if (slot.bindTime(5, connectMs).step() != SQLITE_DONE)
            return false;
    }
    auto open = openOutages_.find(*target);
    if (open == openOutages_.end()) {
        Use find(statement(kFindOpenOutage));
        if (!find)
            return false;
        open = openOutages_.emplace(*target, find.bind(1, *target).step() == SQLITE_ROW ? find.integer(0) : 0).first;
    }
    if (!failed) {
        if (open->second == 0)
            return true;
        Use end(statement(kEndOutage));
        const bool ended = end && end.bind(1, open->second).bind(2, probe.atMs).step() == SQLITE_DONE;
        open->second = 0;
        return ended;
    }
    if (open->second != 0) {
        if (!probe.alertRaised)
            return true;
        Use mark(statement(kMarkOutageAlerted));
        return mark && mark.bind(1, open->second).step() == SQLITE_DONE;
    }
    Use begin(statement(kOpenOutage));
    if (!begin)
        return false;
    begin.bind(1, *target).bind(2, probe.atMs).bind(3, static_cast<int>(probe.reason)).bind(4, probe.errorNumber);
    if (begin.bind(5, probe.alertRaised ? 1 : 0).step() != SQLITE_DONE)
        return false;
    open->second = sqlite3_last_insert_rowid(db_);
    return true;
}

bool HistoryStore::pruneStep(std::int64_t nowMs) {
    std::int64_t target = 0;
    for (const std::int64_t after : {pruneTarget_, std::int64_t{0}}) {
        Use next(statement(kNextPruneTarget));
        if (!next)
            return false;
        if (next.bind(1, after).step() == SQLITE_ROW) {
            target = next.integer(0);
            break;
        }
    }
    pruneTarget_ = target;
    if (target == 0)
        return true;
    Use probes(statement(kPruneProbes));
    if (!probes || probes.bind(1, target).bind(2, nowMs - kProbeKeptMs).bind(3, kPruneRows - 1).step() != SQLITE_DONE)
        return false;
    Use hours(statement(kPruneHours));
    if (!hours || hours.bind(1, target).bind(2, (nowMs - kHourlyKeptMs) / kHourMs).step() != SQLITE_DONE)
        return false;
    Use slots(statement(kPruneSlots));
    if (!slots || slots.bind(1, target).bind(2, (nowMs - kSlotKeptMs) / kSlotMs).step() != SQLITE_DONE)
        return false;
    Use outages(statement(kPruneOutages));
    return outages && outages.bind(1, target).bind(2, nowMs - kHourlyKeptMs).step() == SQLITE_DONE;
}

bool HistoryStore::write(const std::vector<Probe>& probes, std::int64_t nowMs, std::string* error) {
    if (!db_)
        return false;
    bool written = exec("BEGIN IMMEDIATE");
    for (const Probe& probe : probes) {
        if (!written)
            break;
        written = storeProbe(probe);
    }
    written = written && pruneStep(nowMs) && exec("COMMIT");
    if (written)
        return true;
    const int code = sqlite3_extended_errcode(db_);
    if (error)
        *error = sqlite3_errmsg(db_);
    exec("ROLLBACK");
    // What the caches learnt in the transaction went with it.
    targets_.clear();
    openOutages_.clear();
    damaged_ = damagedCode(code);
    return false;
}

std::optional<double> HistoryStore::uptime(const std::string& host, const std::string& port, std::int64_t sinceMs) {
    const auto target = targetId(host, port, false);
    if (!target)
        return std::nullopt;
    Use sum(statement(kUptime));
    if (!sum || sum.bind(1, *target).bind(2, sinceMs / kHourMs).step() != SQLITE_ROW || sum.integer(0) == 0)
        return std::nullopt;
    const auto probes = static_cast<double>(sum.integer(0));
    return (probes - static_cast<double>(sum.integer(1))) / probes;
}

std::vector<HistoryStore::Figures> HistoryStore::figures(const std::string& host, const std::string& port,
                                                         std::int64_t fromMs, bool hourly) {
    std::vector<Figures> result;
    const auto target = targetId(host, port, false);
    if (!target)
        return result;
    const std::int64_t bucketMs = hourly ? kHourMs : kSlotMs;
    Use read(statement(hourly ? kHours : kSlots));
    if (!read)
        return result;
    read.bind(1, *target).bind(2, fromMs / bucketMs);
    while (read.step() == SQLITE_ROW) {
        Figures f;
        f.startMs = read.integer(0) * bucketMs;
        f.probes = read.integer(1);
        f.failures = read.integer(2);
        f.leastMs = read.time(3);
        const std::int64_t timed = read.integer(5);
        f.meanMs = timed > 0 ? static_cast<int>(read.integer(4) / timed) : -1;
        f.greatestMs = read.time(6);
        result.push_back(f);
    }
    return result;
}

std::vector<HistoryStore::Outage> HistoryStore::outages(const std::string& host, const std::string& port, int limit) {
    std::vector<Outage> result;
    const auto target = targetId(host, port, false);
    if (!target)
        return result;
    Use read(statement(kOutages));
    if (!read)
        return result;
    read.bind(1, *target).bind(2, limit);
    while (read.step() == SQLITE_ROW) {
        Outage o;
        o.beganMs = read.integer(0);
        if (!read.null(1))
            o.endedMs = read.integer(1);
        o.reason = static_cast<FinishedProbe::Reason>(read.integer(2));
        o.errorNumber = static_cast<int>(read.integer(3));
        o.alertRaised = read.integer(4) != 0;
        result.push_back(o);
    }
    return result;
}

std::optional<int> HistoryStore::medianConnect(const std::string& host, const std::string& port, std::int64_t sinceMs) {
    const auto target = targetId(host, port, false);
    if (!target)
        return std::nullopt;
    Use read(statement(kConnectTimes));
    if (!read)
        return std::nullopt;
    read.bind(1, *target).bind(2, sinceMs);
    std::vector<int> times;
    while (read.step() == SQLITE_ROW)
        times.push_back(static_cast<int>(read.integer(0)));
    if (times.empty())
        return std::nullopt;
    const auto middle = times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2);
    std::nth_element(times.begin(), middle, times.end());
    return *middle;
}

bool HistoryStore::eachProbe(std::int64_t fromMs, std::int64_t untilMs, const std::function<void(const Probe&)>& take) {
    if (!db_)
        return false;
    Use read(statement(kEachProbe));
    if (!read)
        return false;
    read.bind(1, fromMs).bind(2, untilMs);
    int code = SQLITE_ROW;
    while ((code = read.step()) == SQLITE_ROW) {
        Probe p;
        p.atMs = read.integer(0);
        p.host = read.text(1);
        p.port = read.text(2);
        p.outcome = static_cast<FinishedProbe::Outcome>(read.integer(3));
        p.reason = static_cast<FinishedProbe::Reason>(read.integer(4));
        p.errorNumber = static_cast<int>(read.integer(5));
        p.connectMs = read.time(6);
        take(p);
    }
    return code == SQLITE_DONE;
}

std::int64_t epochMs(const LocalDateTime& local) {
    return static_cast<std::int64_t>(toEpochSeconds(local)) * 1000 + local.millisecond;
}

LocalDateTime localTime(std::int64_t epochMs) {
    const auto seconds = static_cast<std::time_t>(epochMs / 1000);
    std::tm t{};
    localtime_r(&seconds, &t);
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, static_cast<int>(epochMs % 1000)};
}

} // namespace wardel
