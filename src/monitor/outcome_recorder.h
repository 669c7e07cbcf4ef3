#pragma once

#include <string>

#include "alerts/alert_sink.h"
#include "log/event_log.h"
#include "monitor/finished_probe.h"
#include "monitor/probed_row.h"
#include "monitor/row_snapshot.h"
#include "platform/clock.h"

namespace wardel {

// Turns the end of one probe into the row's visible state and decides on alerts.
//
// A row carries its failure history in two cells: `count`, the consecutive failures (Down and Timeout
// together), and `alert`, "1" once the run of failures has reached the row's limit. The failure that
// reaches the limit raises one alert and puts the count back to 0; while the target stays down the count
// climbs again without a new alert; the first success clears both and, after an alert, reports the target
// "Back to Alive". Every message goes to the event log first, then to the alert sinks.
class OutcomeRecorder {
public:
    OutcomeRecorder(const Clock& clock, EventLog& log, AlertSink& alerts) : clock_(clock), log_(log), alerts_(alerts) {}

    // The socket state after the waits (or 9 when the probe could not be made).
    void RecordOutcome(ProbedRow& row, RowSnapshot& snapshot, int state);
    // The timeout countdown ran out during the probe; runs after RecordOutcome when both apply.
    void RecordTimeout(ProbedRow& row, RowSnapshot& snapshot);

    // What the probe under way came to, for the probe history: nothing until an outcome is recorded for a row
    // still in the grid; a timeout recorded after another outcome is what counts.
    struct Verdict {
        bool recorded = false;
        FinishedProbe::Outcome outcome = FinishedProbe::Outcome::Alive;
        bool alertRaised = false;
    };
    void beginProbe() { verdict_ = {}; }
    const Verdict& verdict() const { return verdict_; }

private:
    void recordFailure(ProbedRow& row, RowSnapshot& snapshot, const char* prefix, AlertKind kind);
    // prefix + "hh:mm:ss" + ")", the Last Status text.
    static std::string stamped(const char* prefix, const LocalDateTime& at);
    void announce(const std::string& message, AlertKind kind, const RowSnapshot& snapshot, const LocalDateTime& at);

    const Clock& clock_;
    EventLog& log_;
    AlertSink& alerts_;
    Verdict verdict_;
};

} // namespace wardel
