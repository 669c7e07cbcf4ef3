#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "alerts/alert_sink.h"
#include "app/main_controls.h"
#include "common/subscription.h"
#include "hosts/host_editor.h"
#include "hosts/host_table.h"
#include "log/event_log.h"
#include "log/log_box.h"
#include "monitor/monitor_engine.h"
#include "support/fake_scheduler.h"
#include "support/fakes.h"
#include "support/test_rig.h"

namespace wardel::test {

// Records every alert handed to the dispatch.
class RecordingAlertSink : public AlertSink {
public:
    struct Call {
        std::string message;
        std::string kind;
        std::string description;
    };
    void SendAlert(const Alert& alert) override {
        calls.push_back({alert.message, std::to_string(static_cast<int>(alert.kind)), alert.description});
        if (onCall)
            onCall(calls.back());
    }
    std::vector<Call> calls;
    std::function<void(const Call&)> onCall;
};

// The monitoring engine of the main window on fakes and virtual time, with a journal of everything the
// operator could see, in order: "t=<ms> <what>", where <what> is one of
//   cell <row>,<column>=<text>    grid.enabled=<0|1>    <control>.text=<text>    <control>.enabled=<0|1>
//   <control>.visible=<0|1>       log <message>         sms <text>        connect <host>:<port>
// and, for a test that hands alerts to `alerts` itself, alert <kind> <message>|<description>. Alerts are on,
// with credit and room under the day's cap, so every alert the engine raises goes out as one SMS.
class EngineRig : public TestRig, private HostTableObserver, private LogBox::Observer {
public:
    explicit EngineRig(LocalDateTime start = {2026, 12, 6, 7, 5, 9});
    ~EngineRig() override;

    // Fills row 1 of an empty table, otherwise appends a row; returns its number.
    int addTarget(const std::string& host, const std::string& port, const std::string& description = "",
                  const std::string& limit = "3");
    void setIntervals(const std::string& interval, const std::string& timeout) {
        settings.timeInterval = interval;
        settings.timeOut = timeout;
    }
    // The state the socket takes when `host` is connected to; hosts not named stay connecting (silent).
    void answer(const std::string& host, int state) { answers_[host] = state; }
    void click() { engine.cmdMonitor_Click(); }
    // Runs virtual time second by second until `cycles` more cycles have ended (bounded).
    void runCycles(int cycles);
    // Moves virtual time to `ms` after the start of the rig.
    void at(std::int64_t ms) { scheduler.advance(ms - scheduler.elapsedMs()); }

    const std::string& cell(int row, int column) const { return grid.cell(row, column); }
    const std::string& status(int row) const { return cell(row, HostTable::colLastStatus); }

    // The journal entries whose <what> starts with `prefix`.
    std::vector<std::string> journal(const std::string& prefix = "") const;
    std::vector<std::string> hostsConnected() const;

    MonitorEngine& engine = port.engine();
    HostEditor& hostEditor = port.hosts();
    const Timer& Timer1 = port.Timer1();
    const Timer& Timer2 = port.Timer2();
    // For a test that drives the outcome steps itself.
    RecordingAlertSink alerts;

private:
    struct Seen {
        std::string text;
        bool enabled;
        bool visible;
    };
    void note(const std::string& what);
    void controlChanged(const Control& control);

    void cellChanged(int row, int column) override;
    void rowsInserted(int, int) override {}
    void rowsRemoved(int first, int last) override;
    void enabledChanged() override;
    void currentRowChanged() override {}
    void linePrepended(const std::string& line) override;
    void lineAppended(const std::string&) override {}
    void oldestLineDropped() override {}

    std::vector<std::string> journal_;
    std::map<std::string, Seen> controls_;
    std::map<std::string, int> answers_;
    int cyclesEnded_ = 0;
    Subscription gridChanges_;
    Subscription logLines_;
    Subscription controlChanges_;
};

} // namespace wardel::test
