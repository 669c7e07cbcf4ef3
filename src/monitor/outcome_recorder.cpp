#include "monitor/outcome_recorder.h"

#include <limits>

#include "common/time_format.h"
#include "platform/probe_socket.h"

namespace wardel {

std::string OutcomeRecorder::writeStatus(ProbedRow& row, const char* prefix, RowHistory::State outcome) const {
    const LocalDateTime now = clock_.now();
    std::string status = prefix + formatTime(now) + ")";
    row.write(HostTable::colLastStatus, status);
    row.remember(outcome, now);
    return status;
}

void OutcomeRecorder::announce(const std::string& message, const char* kind, const std::string& description) {
    log_.WriteLog(message);
    alerts_.SendAlert(message, kind, description);
}

void OutcomeRecorder::RecordOutcome(ProbedRow& row, RowSnapshot& snapshot, int state) {
    // A row deleted while it was probed is no longer monitored: its outcome is neither shown nor announced.
    if (row.follow() == 0)
        return;
    switch (state) {
    case ProbeSocket::Closed:
        writeStatus(row, "Closed(", RowHistory::State::Closed);
        break;
    case ProbeSocket::Open:
    case ProbeSocket::Connected: {
        row.write(HostTable::colAlert, "");
        row.write(HostTable::colCount, "0");
        const std::string status = writeStatus(row, "ALIVE(", RowHistory::State::Up);
        if (snapshot.alert == "1")
            announce("Alert for " + snapshot.host + " " + snapshot.port + " " + status + " " + snapshot.description +
                         " Back to Alive",
                     "1", snapshot.description);
        break;
    }
    case ProbeSocket::HostResolved:
        writeStatus(row, "Resolved(", RowHistory::State::Resolved);
        break;
    case ProbeSocket::Error:
        recordFailure(row, snapshot, "Down(", "0");
        break;
    default:
        break; // back in a progress state after its wait had ended: nothing to record
    }
}

void OutcomeRecorder::RecordTimeout(ProbedRow& row, RowSnapshot& snapshot) {
    if (row.follow() == 0)
        return;
    recordFailure(row, snapshot, "Timeout(", "2");
}

void OutcomeRecorder::recordFailure(ProbedRow& row, RowSnapshot& snapshot, const char* prefix, const char* kind) {
    // The counter stops at the top of its range instead of wrapping round to a negative count.
    if (snapshot.failCount < std::numeric_limits<std::int16_t>::max())
        ++snapshot.failCount;
    row.write(HostTable::colCount, std::to_string(snapshot.failCount));
    const std::string status = writeStatus(row, prefix, RowHistory::State::Down);
    if (snapshot.failCount < snapshot.timeoutLimit)
        return;
    row.write(HostTable::colAlert, "1");
    row.write(HostTable::colCount, "0");
    // The marker as it stood when the check began decides: a marker set by the first failure of this check
    // does not silence its second.
    if (snapshot.alert != "1")
        announce("Alert for " + snapshot.host + " " + snapshot.port + " " + status + " " + snapshot.description, kind,
                 snapshot.description);
}

} // namespace wardel
