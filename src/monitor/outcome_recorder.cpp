#include "monitor/outcome_recorder.h"

#include <limits>

#include "common/time_format.h"
#include "platform/probe_socket.h"

namespace wardel {

std::string OutcomeRecorder::stamped(const char* prefix, const LocalDateTime& at) {
    return prefix + formatTime(at) + ")";
}

void OutcomeRecorder::announce(const std::string& message, AlertKind kind, const RowSnapshot& snapshot,
                               const LocalDateTime& at) {
    log_.WriteLog(message);
    alerts_.SendAlert(Alert{kind, message, snapshot.host, snapshot.port, snapshot.description, at});
}

void OutcomeRecorder::RecordOutcome(ProbedRow& row, RowSnapshot& snapshot, int state) {
    // A row deleted while it was probed is no longer monitored: its outcome is neither shown nor announced.
    if (row.follow() == 0)
        return;
    const LocalDateTime now = clock_.now();
    switch (state) {
    case ProbeSocket::Closed:
        row.write(HostTable::colLastStatus, stamped("Closed(", now));
        row.remember(RowHistory::State::Closed, now);
        break;
    case ProbeSocket::Open:
    case ProbeSocket::Connected: {
        // Remembered first, so that the row never reads as failing without its marker on the way.
        row.remember(RowHistory::State::Up, now);
        verdict_ = {true, FinishedProbe::Outcome::Alive, false};
        row.write(HostTable::colAlert, "");
        row.write(HostTable::colCount, "0");
        const std::string status = stamped("ALIVE(", now);
        row.write(HostTable::colLastStatus, status);
        if (snapshot.alert == "1")
            announce("Alert for " + snapshot.host + " " + snapshot.port + " " + status + " " + snapshot.description +
                         " Back to Alive",
                     AlertKind::BackToAlive, snapshot, now);
        break;
    }
    case ProbeSocket::HostResolved:
        row.write(HostTable::colLastStatus, stamped("Resolved(", now));
        row.remember(RowHistory::State::Resolved, now);
        break;
    case ProbeSocket::Error:
        verdict_ = {true, FinishedProbe::Outcome::Down, verdict_.alertRaised};
        recordFailure(row, snapshot, "Down(", AlertKind::Down);
        break;
    default:
        break; // back in a progress state after its wait had ended: nothing to record
    }
}

void OutcomeRecorder::RecordTimeout(ProbedRow& row, RowSnapshot& snapshot) {
    if (row.follow() == 0)
        return;
    verdict_ = {true, FinishedProbe::Outcome::Timeout, verdict_.alertRaised};
    recordFailure(row, snapshot, "Timeout(", AlertKind::Timeout);
}

void OutcomeRecorder::recordFailure(ProbedRow& row, RowSnapshot& snapshot, const char* prefix, AlertKind kind) {
    // The counter stops at the top of its range instead of wrapping round to a negative count.
    if (snapshot.failCount < std::numeric_limits<std::int16_t>::max())
        ++snapshot.failCount;
    row.write(HostTable::colCount, std::to_string(snapshot.failCount));
    const LocalDateTime now = clock_.now();
    const std::string status = stamped(prefix, now);
    row.write(HostTable::colLastStatus, status);
    if (snapshot.failCount < snapshot.timeoutLimit) {
        row.remember(RowHistory::State::Down, now);
        return;
    }
    row.write(HostTable::colAlert, "1");
    // Remembered after the marker, so that a failure that raises an alert goes straight to the alert.
    row.remember(RowHistory::State::Down, now);
    row.write(HostTable::colCount, "0");
    // The marker as it stood when the check began decides: a marker set by the first failure of this check
    // does not silence its second.
    if (snapshot.alert != "1") {
        verdict_.alertRaised = true;
        announce("Alert for " + snapshot.host + " " + snapshot.port + " " + status + " " + snapshot.description, kind,
                 snapshot, now);
    }
}

} // namespace wardel
