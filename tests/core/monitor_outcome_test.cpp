#include <gtest/gtest.h>

#include "monitor/outcome_recorder.h"
#include "support/engine_rig.h"

namespace wardel::test {
namespace {

// One check of one row: the outcome of the waits (or none when the timeout cut them short), then the
// timeout when it ran out. The clock stands at 09:41:07.
struct Check {
    const char* alert; // cells as the check finds them
    const char* count;
    const char* limit;
    int state; // -1: the waits ended by the timeout, no outcome
    bool timedOut;
    const char* status; // expected cells afterwards
    const char* alertAfter;
    const char* countAfter;
    const char* verdict;            // what the history gets: "" nothing, "!" when it raised the alert
    std::vector<std::string> kinds; // SendAlert kinds, in order
};

TEST(OutcomeRecorder, RowCellsAndAlertsForEachOutcome) {
    const Check checks[] = {
        {"", "2", "3", ProbeSocket::Closed, false, "Closed(09:41:07)", "", "2", "", {}},
        {"", "2", "3", ProbeSocket::Open, false, "ALIVE(09:41:07)", "", "0", "Alive", {}},
        {"1", "2", "3", ProbeSocket::Connected, false, "ALIVE(09:41:07)", "", "0", "Alive", {"1"}},
        {"", "2", "3", ProbeSocket::HostResolved, false, "Resolved(09:41:07)", "", "2", "", {}},
        {"", "2", "3", ProbeSocket::Connecting, false, "before", "", "2", "", {}},
        {"", "1", "3", ProbeSocket::Error, false, "Down(09:41:07)", "", "2", "Down", {}},
        {"", "2", "3", ProbeSocket::Error, false, "Down(09:41:07)", "1", "0", "Down!", {"0"}},
        {"1", "2", "3", ProbeSocket::Error, false, "Down(09:41:07)", "1", "0", "Down", {}},
        {"", "0", "", ProbeSocket::Error, false, "Down(09:41:07)", "1", "0", "Down!", {"0"}},
        {"", "  2 remark", "3", ProbeSocket::Error, false, "Down(09:41:07)", "1", "0", "Down!", {"0"}},
        {"", "0", "3", -1, true, "Timeout(09:41:07)", "", "1", "Timeout", {}},
        {"", "0", "1", ProbeSocket::Error, true, "Timeout(09:41:07)", "1", "0", "Timeout!", {"0", "2"}},
        {"", "2", "5", ProbeSocket::Connected, true, "Timeout(09:41:07)", "", "3", "Timeout", {}},
        {"", "99999", "40000", ProbeSocket::Error, false, "Down(09:41:07)", "1", "0", "Down!", {"0"}},
    };
    for (const Check& check : checks) {
        EngineRig rig({2026, 12, 6, 9, 41, 7});
        const int row = rig.addTarget("10.0.0.5", "25", "mail relay", check.limit);
        rig.grid.setCell(row, HostTable::colAlert, check.alert);
        rig.grid.setCell(row, HostTable::colCount, check.count);
        rig.grid.setCell(row, HostTable::colLastStatus, "before");
        OutcomeRecorder recorder(rig.scheduler, rig.log, rig.alerts);
        ProbedRow probed(rig.grid);
        probed.begin(row);
        RowSnapshot snapshot = takeRowSnapshot(rig.grid, row);
        recorder.beginProbe();

        if (check.state >= 0)
            recorder.RecordOutcome(probed, snapshot, check.state);
        if (check.timedOut)
            recorder.RecordTimeout(probed, snapshot);

        const auto where = testing::Message() << "count " << check.count << " state " << check.state;
        EXPECT_EQ(rig.status(row), check.status) << where;
        EXPECT_EQ(rig.cell(row, HostTable::colAlert), check.alertAfter) << where;
        EXPECT_EQ(rig.cell(row, HostTable::colCount), check.countAfter) << where;
        std::vector<std::string> kinds;
        for (const auto& call : rig.alerts.calls)
            kinds.push_back(call.kind);
        EXPECT_EQ(kinds, check.kinds) << where;
        const OutcomeRecorder::Verdict& verdict = recorder.verdict();
        const char* const outcomes[] = {"Alive", "Down", "Timeout"};
        EXPECT_EQ(verdict.recorded
                      ? outcomes[static_cast<int>(verdict.outcome)] + std::string(verdict.alertRaised ? "!" : "")
                      : "",
                  check.verdict)
            << where;
        // Each message is logged just before it is handed on.
        EXPECT_EQ(rig.journal("alert").size(), rig.journal("log").size()) << where;
    }
}

TEST(OutcomeRecorder, MessagesCarryHostPortStatusAndDescriptionUntrimmed) {
    EngineRig rig({2026, 12, 6, 9, 41, 7});
    rig.addTarget("10.0.0.5", "25", "mail relay", "1");
    rig.addTarget("web", "80", "", "1");
    OutcomeRecorder recorder(rig.scheduler, rig.log, rig.alerts);
    ProbedRow probed(rig.grid);
    for (const int row : {1, 2}) {
        probed.begin(row);
        RowSnapshot snapshot = takeRowSnapshot(rig.grid, row);
        recorder.RecordOutcome(probed, snapshot, ProbeSocket::Error);
        probed.begin(row);
        snapshot = takeRowSnapshot(rig.grid, row);
        recorder.RecordOutcome(probed, snapshot, ProbeSocket::Connected);
    }
    EXPECT_EQ(rig.journal(),
              (std::vector<std::string>{
                  "t=0 cell 1,6=1",
                  "t=0 cell 1,2=Down(09:41:07)",
                  "t=0 cell 1,4=1",
                  "t=0 cell 1,6=0",
                  "t=0 log Alert for 10.0.0.5 25 Down(09:41:07) mail relay",
                  "t=0 alert 0 Alert for 10.0.0.5 25 Down(09:41:07) mail relay|mail relay",
                  "t=0 cell 1,4=",
                  "t=0 cell 1,2=ALIVE(09:41:07)",
                  "t=0 log Alert for 10.0.0.5 25 ALIVE(09:41:07) mail relay Back to Alive",
                  "t=0 alert 1 Alert for 10.0.0.5 25 ALIVE(09:41:07) mail relay Back to Alive|mail relay",
                  "t=0 cell 2,6=1",
                  "t=0 cell 2,2=Down(09:41:07)",
                  "t=0 cell 2,4=1",
                  "t=0 cell 2,6=0",
                  "t=0 log Alert for web 80 Down(09:41:07) ",
                  "t=0 alert 0 Alert for web 80 Down(09:41:07) |",
                  "t=0 cell 2,4=",
                  "t=0 cell 2,2=ALIVE(09:41:07)",
                  "t=0 log Alert for web 80 ALIVE(09:41:07)  Back to Alive",
                  "t=0 alert 1 Alert for web 80 ALIVE(09:41:07)  Back to Alive|",
              }));
}

} // namespace
} // namespace wardel::test
