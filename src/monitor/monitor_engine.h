#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "alerts/alert_sink.h"
#include "common/subscription.h"
#include "hosts/host_table.h"
#include "log/event_log.h"
#include "monitor/outcome_recorder.h"
#include "monitor/probed_row.h"
#include "monitor/row_snapshot.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/message_box.h"
#include "platform/probe_socket.h"
#include "platform/timer.h"
#include "settings/app_settings.h"

namespace wardel {

// The main window's controls the engine drives.
struct MonitorControls {
    Control& cmdMonitor;
    Control& cmdAdd;
    Control& Label2;
};

// The main window's three timers the engine runs on.
struct MonitorTimers {
    Timer& Timer1; // counts down the pause between cycles
    Timer& Timer2; // counts down the probe timeout
    Timer& Timer3; // the one-second pauses inside a cycle
};

// Monitoring control, the cycle timers and the port check cycle (how it works: monitor_engine.cpp).
class MonitorEngine {
public:
    // Where a running cycle stands between two events.
    enum class Phase {
        Idle,         // no cycle runs: stopped, waiting for the next cycle, or halted at an empty host
        ClosingPause, // a row found the socket still open: one second, then it is closed
        ConnectPause, // the connection attempt's first second
        SocketWait,   // the socket is in a progress state; the row shows it
        Busy,         // the engine itself is running (a notification arriving now is looked at later)
    };

    // `timers` makes the engine's own timer, which wakes a waiting cycle when the clock's second changes.
    MonitorEngine(const Clock& clock, MonitorTimers engineTimers, TimerSource& timers, ProbeSocket& socket,
                  MessageBox& messages, HostTable& grid, MonitorControls controls, AppSettings& settings, EventLog& log,
                  AlertSink& alerts);
    MonitorEngine(const MonitorEngine&) = delete;
    MonitorEngine& operator=(const MonitorEngine&) = delete;

    // The start/stop button cmdMonitor.
    void cmdMonitor_Click();

    // Tick handlers of the three engine timers (wired by the constructor).
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();

    // Whether monitoring runs: from a start to the next stop, halted at an empty host or not.
    bool monitoring() const { return monitoring_; }
    // Told after every start and every stop. One observer at a time.
    Subscription subscribeMonitoring(std::function<void()> observer) {
        return monitoringChanged_.subscribe(std::move(observer));
    }

    // Told at the end of each probe whose row is still in the grid, for the probe history. One observer.
    Subscription subscribeProbeFinished(std::function<void(const FinishedProbe&)> observer) {
        return probeFinished_.subscribe(std::move(observer));
    }

    Phase phase() const { return phase_; }
    std::int16_t cycleCountdown() const { return cycleCountdown_; }
    std::int16_t timeoutCountdown() const { return timeoutCountdown_; }
    bool stopRequested() const { return stopRequested_; }
    bool probeTimedOut() const { return probeTimedOut_; }

private:
    // The cycle's steps. Each returns the step that follows, or Step::Stay when the cycle now waits for
    // an event; Drive runs them in a loop, so a long run of rows that end at once never deepens the stack.
    enum class Step { Stay, StartCycle, BeginRow, ProbeRow, LookAtSocket, FinishRow };

    void start();
    void stop();
    void RunCheckCycle();
    void drive(Step step);
    Step startCycle();
    Step beginRow();
    Step probeRow();
    Step lookAtSocket();
    Step finishRow();
    Step endOfTable();
    Step leaveCycle();
    Step halt();
    Step PauseOneSecond(Phase pause);
    // After any event: a cycle that waits on the socket looks at it again.
    void lookAgain();
    // Tells the probe history how the row's probe ended.
    void publishProbe();
    // Wakes the waiting cycle when the clock's next second begins, so its text shows the clock's second.
    void refreshAtNextSecond();

    std::int16_t seconds(const std::string& setting) const;
    static std::int16_t countDown(std::int16_t value);

    const Clock& clock_;
    Timer& Timer1_;
    Timer& Timer2_;
    Timer& Timer3_;
    std::unique_ptr<Timer> secondRefresh_; // runs only while the cycle shows a waiting text
    ProbeSocket& socket_;
    MessageBox& messages_;
    HostTable& grid_;
    MonitorControls controls_;
    AppSettings& settings_;
    EventLog& log_;
    AlertSink& alerts_; // told when a cycle ends
    OutcomeRecorder recorder_;
    ProbedRow probed_;
    RowSnapshot snapshot_;

    // Engine state held for the whole run.
    std::int16_t cycleCountdown_ = 0;
    std::int16_t timeoutCountdown_ = 0;
    bool stopRequested_ = false;
    bool probeTimedOut_ = false;
    bool monitoring_ = false;
    SingleObserver<> monitoringChanged_;
    SingleObserver<const FinishedProbe&> probeFinished_;
    bool socketProbed_ = false; // the row's probe reached the socket, so its answer is the probe's

    // The running cycle.
    Phase phase_ = Phase::Idle;
    bool startPending_ = false; // a start clicked while a stopped cycle finished its row
    int row_ = 0;
    int lastRow_ = 0;
    int waitIndex_ = 0;

    // Last, so they go first: no tick or socket notice reaches a half-destroyed engine.
    Subscription timer1Ticks_;
    Subscription timer2Ticks_;
    Subscription timer3Ticks_;
    Subscription refreshTicks_;
    Subscription socketChanges_;
};

} // namespace wardel
