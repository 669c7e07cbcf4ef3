#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <ctime>
#include <sqlite3.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "app/command_line.h"
#include "history/history_export.h"
#include "history/history_recorder.h"
#include "support/test_rig.h"

namespace wardel::test {
namespace {

using Outcome = FinishedProbe::Outcome;
using Reason = FinishedProbe::Reason;
constexpr std::int64_t kHour = HistoryStore::kHourMs;
constexpr std::int64_t kDay = HistoryStore::kDayMs;
constexpr std::int64_t kStart = 1'796'000'400'000; // an hour's start in December 2026

HistoryStore::Probe probe(std::int64_t at, Outcome outcome, int connectMs, Reason reason = Reason::None,
                          bool alert = false, const std::string& host = "db") {
    return {host, "3306", at, outcome, reason, reason == Reason::Other ? 71 : 0, connectMs, alert};
}

std::int64_t count(const std::filesystem::path& file, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_stmt* s = nullptr;
    std::int64_t value = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
        value = sqlite3_column_type(s, 0) == SQLITE_TEXT
                    ? (std::string(reinterpret_cast<const char*>(sqlite3_column_text(s, 0))) == "ok" ? 1 : 0)
                    : sqlite3_column_int64(s, 0);
    sqlite3_finalize(s);
    sqlite3_close(db);
    return value;
}

void runSql(const std::filesystem::path& file, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

TEST(HistoryStore, KeepsProbesHourlyFiguresAndOutages) {
    TempFolder folder;
    HistoryStore store(folder / "history.db");
    ASSERT_EQ(store.open("2026-12-08").first, HistoryStore::Opened::Fresh);
    ASSERT_TRUE(store.write({probe(kStart + 1000, Outcome::Alive, 4), probe(kStart + 2000, Outcome::Alive, 2),
                             probe(kStart + 3000, Outcome::Down, 1, Reason::Refused),
                             probe(kStart + 4000, Outcome::Timeout, -1, Reason::TimedOut, true),
                             probe(kStart + kHour, Outcome::Alive, 9), probe(kStart + kHour + 1, Outcome::Alive, 3),
                             probe(kStart + kHour + 2, Outcome::Down, -1, Reason::Other),
                             probe(kStart + 5000, Outcome::Alive, 1, Reason::None, false, "web")},
                            kStart + 2 * kHour));

    const auto hours = store.figures("db", "3306", kStart, true);
    ASSERT_EQ(hours.size(), 2u);
    const std::int64_t expected[2][6] = {{kStart, 4, 2, 2, 3, 4}, {kStart + kHour, 3, 1, 3, 6, 9}};
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ((std::vector<std::int64_t>{hours[i].startMs, hours[i].probes, hours[i].failures, hours[i].leastMs,
                                             hours[i].meanMs, hours[i].greatestMs}),
                  std::vector<std::int64_t>(expected[i], expected[i] + 6));
    const auto slots = store.figures("db", "3306", kStart, false);
    ASSERT_EQ(slots.size(), 2u);
    EXPECT_EQ(slots[0].probes, 4);
    EXPECT_EQ(slots[1].startMs, kStart + kHour);
    EXPECT_DOUBLE_EQ(*store.uptime("db", "3306", kStart), 4.0 / 7.0);
    EXPECT_EQ(store.medianConnect("db", "3306", kStart), 4); // the upper of the middle two
    EXPECT_FALSE(store.uptime("db", "80", kStart));

    const auto outages = store.outages("db", "3306", 10);
    ASSERT_EQ(outages.size(), 2u);
    EXPECT_EQ(outages[0].beganMs, kStart + kHour + 2);
    EXPECT_FALSE(outages[0].endedMs);
    EXPECT_EQ(reasonText(outages[0].reason, outages[0].errorNumber), "error 71");
    EXPECT_EQ(outages[1].beganMs, kStart + 3000);
    EXPECT_EQ(outages[1].endedMs, kStart + kHour);
    EXPECT_EQ(outages[1].reason, Reason::Refused);
    EXPECT_TRUE(outages[1].alertRaised);

    // A new run continues the outage still down, and the same host and port continue their history.
    store.close();
    ASSERT_EQ(store.open("2026-12-08").first, HistoryStore::Opened::Kept);
    ASSERT_TRUE(store.write({probe(kStart + 2 * kHour, Outcome::Alive, 5)}, kStart + 2 * kHour));
    EXPECT_EQ(store.outages("db", "3306", 10)[0].endedMs, kStart + 2 * kHour);
    EXPECT_EQ(count(folder / "history.db", "SELECT count(*) FROM probe"), 9);
    EXPECT_EQ(count(folder / "history.db", "PRAGMA journal_mode"), 0); // "wal", not "ok"
}

TEST(HistoryStore, PrunesALittleAtATime) {
    TempFolder folder;
    HistoryStore store(folder / "history.db");
    store.open("2026-12-08");
    std::vector<HistoryStore::Probe> old;
    for (int i = 0; i < 2500; ++i)
        old.push_back(probe(kStart + i * 1000, Outcome::Alive, 1));
    old.push_back(probe(kStart + 40 * kDay, Outcome::Alive, 1));
    ASSERT_TRUE(store.write(old, kStart));
    const char* probes = "SELECT count(*) FROM probe";
    // 31 days on, the oldest go, at most a thousand a write; the per-hour figures stay for 400 days.
    const std::int64_t afterMonth = kStart + 31 * kDay + 3'000'000;
    const std::int64_t left[] = {1501, 501, 1, 1};
    for (const std::int64_t expected : left) {
        ASSERT_TRUE(store.write({}, afterMonth));
        EXPECT_EQ(count(folder / "history.db", probes), expected);
    }
    EXPECT_EQ(count(folder / "history.db", "SELECT count(*) FROM hourly"), 2);
    EXPECT_EQ(count(folder / "history.db", "SELECT count(*) FROM slot"), 1); // two days only
    ASSERT_TRUE(store.write({}, kStart + 401 * kDay));
    EXPECT_EQ(count(folder / "history.db", "SELECT count(*) FROM hourly"), 1);
}

TEST(HistoryStore, OpensOldFilesAndMovesUnreadableOnesAside) {
    struct Case {
        const char* name;
        std::function<void(const std::filesystem::path&)> make;
        HistoryStore::Opened opened;
        std::string line;
    };
    const std::string aside = " moved to history.db.damaged-2026-12-08, a new one started";
    const Case cases[] = {
        {"version 0", [](const auto& f) { runSql(f, "CREATE TABLE kept(x); PRAGMA user_version = 0;"); },
         HistoryStore::Opened::Kept, ""},
        {"damaged", [](const auto& f) { writeFile(f, std::string(4096, 'x')); }, HistoryStore::Opened::MovedAside,
         "History File Damaged : "},
        {"later version", [](const auto& f) { runSql(f, "PRAGMA user_version = 99;"); },
         HistoryStore::Opened::MovedAside, "History File Damaged : "},
        {"folder in its place", [](const auto& f) { std::filesystem::create_directory(f); },
         HistoryStore::Opened::Unavailable, "History File Error : "},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const auto file = folder / "history.db";
        c.make(file);
        HistoryStore store(file);
        const auto [opened, line] = store.open("2026-12-08");
        EXPECT_EQ(opened, c.opened) << c.name;
        EXPECT_EQ(line.substr(0, c.line.size()), c.line) << c.name;
        if (opened == HistoryStore::Opened::MovedAside) {
            EXPECT_EQ(line.substr(line.size() - aside.size()), aside) << c.name;
            EXPECT_TRUE(std::filesystem::exists(folder / "history.db.damaged-2026-12-08")) << c.name;
        }
        if (opened == HistoryStore::Opened::Unavailable)
            continue;
        EXPECT_TRUE(store.write({probe(kStart, Outcome::Alive, 2)}, kStart)) << c.name;
        EXPECT_EQ(count(file, "PRAGMA user_version"), HistoryStore::kSchemaVersion) << c.name;
    }
    // A version-1 file gets the five-minute figures of its last two days of probes.
    TempFolder folder;
    const auto file = folder / "history.db";
    const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr)) * 1000;
    {
        HistoryStore store(file);
        store.open("");
        store.write({probe(now - 3 * kDay, Outcome::Alive, 2), probe(now - 60'000, Outcome::Alive, 2)}, now);
    }
    runSql(file, "DROP TABLE slot; PRAGMA user_version = 1;");
    HistoryStore store(file);
    EXPECT_EQ(store.open("").first, HistoryStore::Opened::Kept);
    EXPECT_EQ(store.figures("db", "3306", now - kDay, false).size(), 1u);
}

TEST(HistoryStore, AKilledWriterLeavesWholeBatches) {
    TempFolder folder;
    const auto file = folder / "history.db";
    constexpr int kBatch = 500;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        HistoryStore store(file);
        store.open("2026-12-08");
        for (std::int64_t batch = 0;; ++batch) {
            std::vector<HistoryStore::Probe> probes;
            for (int i = 0; i < kBatch; ++i)
                probes.push_back(probe(kStart + (batch * kBatch + i) * 1000, Outcome::Alive, i % 50));
            store.write(probes, kStart);
        }
    }
    // Killed once it has written a few batches, most likely in the middle of one.
    while (!std::filesystem::exists(file.string() + "-wal") ||
           std::filesystem::file_size(file.string() + "-wal") < 400'000)
        usleep(5000);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(count(file, "PRAGMA integrity_check"), 1);
    const std::int64_t kept = count(file, "SELECT count(*) FROM probe");
    EXPECT_GT(kept, 0);
    EXPECT_EQ(kept % kBatch, 0);
    EXPECT_EQ(count(file, "SELECT sum(probes) FROM hourly"), kept);
}

// The recorder on virtual time: batches off the probe's path, one log line per day for write errors.
struct RecorderRig {
    FakeScheduler scheduler{{2026, 12, 8, 9, 30, 0}};
    TempFolder folder;
    AppSettings settings;
    LogBox box;
    EventLog log{scheduler, settings, box, folder.path()};
    HistoryRecorder recorder{scheduler, scheduler, log, folder / "history.db"};

    void record(const std::string& host) {
        FinishedProbe p;
        p.host = host;
        p.port = "22";
        p.at = scheduler.now();
        recorder.record(p);
    }
    std::int64_t stored() { return count(folder / "history.db", "SELECT count(*) FROM probe"); }
};

TEST(HistoryRecorder, WritesACycleOrFiveSecondsInOneBatch) {
    RecorderRig rig;
    rig.record("a"); // queued before the file opens
    rig.recorder.open();
    rig.record("b");
    EXPECT_EQ(rig.stored(), 0);
    rig.scheduler.advance(4999);
    EXPECT_EQ(rig.stored(), 0);
    rig.scheduler.advance(1);
    EXPECT_EQ(rig.stored(), 2);
    rig.scheduler.advance(1000);
    rig.record("a");
    rig.scheduler.advance(1000);
    rig.record("a"); // a new cycle: written at the next turn, not inside the probe's call
    EXPECT_EQ(rig.stored(), 2);
    rig.scheduler.advance(1);
    EXPECT_EQ(rig.stored(), 4);
    EXPECT_EQ(rig.box.lineCount(), 0u);
}

TEST(HistoryRecorder, AWriteErrorIsLoggedOnceADay) {
    RecorderRig rig;
    rig.recorder.open();
    // Another writer holding the file makes every write of the recorder fail.
    sqlite3* other = nullptr;
    sqlite3_open((rig.folder / "history.db").c_str(), &other);
    sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    for (int i = 0; i < 3; ++i) {
        rig.record("a");
        rig.scheduler.advance(6000);
    }
    ASSERT_EQ(rig.box.lineCount(), 1u);
    EXPECT_NE(rig.box.line(0).find("History File Write Error : database is locked"), std::string::npos);
    rig.scheduler.advanceTo({2026, 12, 9, 0, 0, 1});
    rig.record("a");
    rig.scheduler.advance(6000);
    EXPECT_EQ(rig.box.lineCount(), 2u);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    rig.record("a");
    rig.scheduler.advance(6000);
    EXPECT_EQ(rig.stored(), 1);
    EXPECT_EQ(rig.box.lineCount(), 2u);
}

// The monitor's probes reach the file with the socket's answer, and the Last Status tip gains the history's part.
TEST(HistoryRecorder, TheMonitorsProbesReachTheFileAndTheTip) {
    TestRig rig({2026, 12, 8, 9, 30, 0});
    writeFile(rig.folder / "host.ini",
              "\"127.0.0.1\",\"80\",\"web\",\"5\"\r\n\" 127.0.0.1 \",\"22\",\"ssh\",\"1\"\r\n");
    rig.socket.onConnect = [&](const std::string&, std::int32_t port) {
        rig.socket.answerGiven = {port == 80 ? 3 : 1, port == 80 ? 0 : ECONNREFUSED, false};
        rig.socket.setState(port == 80 ? ProbeSocket::Connected : ProbeSocket::Error);
    };
    rig.port.Form_Load();
    rig.port.openHistory();
    rig.port.cmdMonitor_Click();
    rig.scheduler.advance(8000);
    HistoryStore& store = rig.port.history().store();
    std::vector<std::string> probes;
    store.eachProbe(0, INT64_MAX, [&](const HistoryStore::Probe& p) {
        probes.push_back(p.host + " " + p.port + " " + reasonText(p.reason, p.errorNumber) + " " +
                         std::to_string(p.connectMs));
    });
    EXPECT_EQ(probes, (std::vector<std::string>{"127.0.0.1 80  3", "127.0.0.1 22 refused 1"}));
    EXPECT_TRUE(store.outages("127.0.0.1", "22", 1).at(0).alertRaised);
    const std::string tip = rig.grid.lastStatusTip(1);
    EXPECT_EQ(tip.substr(tip.find("; uptime")), "; uptime 24 h 100.00 %; connect 3 ms");
    EXPECT_NE(rig.grid.lastStatusTip(2).find("; uptime 24 h 0.00 %"), std::string::npos);
}

TEST(HistoryExport, WritesCsvByteForByte) {
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
    TempFolder folder;
    HistoryStore store(folder / "history.db");
    store.open("2026-12-08");
    store.write({probe(kStart + 1234, Outcome::Alive, 4), probe(kStart + 2000, Outcome::Down, 1, Reason::Refused),
                 probe(kStart + 3000, Outcome::Timeout, -1, Reason::TimedOut),
                 probe(kStart + 2000, Outcome::Down, -1, Reason::Other, false, "a,\"b\""),
                 probe(kStart + kDay, Outcome::Alive, 3)},
                kStart);
    // Through the command line, while the program's store stays open; --until takes its whole day.
    const auto csvFile = (folder / "h.csv").string();
    std::ostringstream out;
    std::ostringstream errors;
    const int status = answerCommandLine(
        parseCommandLine({"--export-history", csvFile, "--since", "2026-11-30", "--until", "2026-11-30"}),
        [&] {
            return StartUpFiles{{}, {}, folder / "history.db"};
        },
        out, errors);
    EXPECT_EQ(status, 0) << errors.str();
    EXPECT_EQ(readFile(csvFile), "time,host,port,outcome,reason,error,connect_ms\r\n"
                                 "2026-11-30T02:00:01.234+01:00,db,3306,ALIVE,,,4\r\n"
                                 "2026-11-30T02:00:02.000+01:00,\"a,\"\"b\"\"\",3306,Down,error 71,71,\r\n"
                                 "2026-11-30T02:00:02.000+01:00,db,3306,Down,refused,,1\r\n"
                                 "2026-11-30T02:00:03.000+01:00,db,3306,Timeout,timed out,,\r\n");
}

} // namespace
} // namespace wardel::test
