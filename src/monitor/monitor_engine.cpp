// The monitoring engine: start and stop, the three engine timers and the port check cycle.
//
// A cycle probes the targets of the grid one at a time, in grid order, with the one probe socket: connect,
// wait one second (Timer3), then wait while the socket is in a progress state, showing that state with the
// time in the row's Last Status cell, until it leaves that state or the row's timeout (Timer2) runs out.
// The outcome goes to the OutcomeRecorder, the socket is closed and the next row follows. After the last
// row Timer1 counts down the pause and starts the next cycle.
//
// Nothing here waits in place. Each wait is a phase the engine is in until the event that ends it, and
// every event handler (a click, a tick of Timer1/2/3, a socket state change) ends by letting the cycle go
// on as far as it can. The phases (Phase) of a running cycle:
//
//   ClosingPause  a row found the socket not closed: one second on Timer3, then close it and probe.
//   ConnectPause  the connection attempt's first second on Timer3. A target that accepts within it never
//                 shows a progress text. Socket changes are not looked at; the state counts when it ends.
//   SocketWait    the five waits, in order: listening 2, pending 3, resolving 4, connecting 6, closing 8.
//                 The wait whose state the socket is in shows "<label>(hh:mm:ss)"; a wait ends for good
//                 once the state differs. The socket is looked at again on each of its state changes,
//                 each Timer2 tick, each click, and when the clock's second changes (a timer re-armed for
//                 the next second's start each time, so the text never lags the clock and the wait costs
//                 one wake-up a second beside Timer2). A timeout seen here ends the waits without an
//                 outcome; only the Timeout is recorded. A socket found out of its waits has its outcome,
//                 even when the countdown ran out in the same tick (a timeout of 0 or 1 runs out at the
//                 end of the connect pause): a probe is a Timeout only while it is still in progress.
//   Idle          no cycle runs. The window then shows Stopped (caption "&Start Monitor", Label2 hidden),
//                 Waiting (Timer1 counting down, Add and grid enabled) or Halted (an empty host cell ended
//                 the cycle: caption "&Stop Monitor", no timer, Add and grid enabled so that a target can
//                 be added before stopping).
//
// Two flags carry the operator's and Timer2's word to the cycle, read only where the cycle looks at them:
// stopRequested at the start of every row (a stop lets the probed row finish, with its socket closed), and
// probeTimedOut in the waits and after the outcome.
//
// Every row gets a fresh timeout countdown of timeOut seconds and a fresh Timer2 interval, so a slow row
// never makes a later one time out. A start clicked while a stopped cycle still finishes its row is kept
// (startPending_) and runs its first cycle right after that row: never two cycles at once. A stop during
// the last row ends the cycle like any stop, without scheduling another. The grid is walked by row number;
// a Delete during a cycle moves rows up, so the probed row is followed by its cells (ProbedRow) and a row
// number that no longer exists ends the cycle as if the table ended there.

#include "monitor/monitor_engine.h"

#include <algorithm>
#include <cerrno>
#include <limits>

#include "common/numbers.h"
#include "common/saturating.h"
#include "common/time_format.h"
#include "settings/setting_fields.h"

namespace wardel {

namespace {

constexpr const char* kStartCaption = "&Start Monitor";
constexpr const char* kStopCaption = "&Stop Monitor";
constexpr const char* kNoHostText = " No Host / IP address to monitor !!";

struct ProgressWait {
    int state;
    const char* label;
};
constexpr ProgressWait kProgressWaits[] = {
    {ProbeSocket::Listening, "Listening("},     {ProbeSocket::ConnectionPending, "Pending("},
    {ProbeSocket::ResolvingHost, "Resolving("}, {ProbeSocket::Connecting, "Connecting("},
    {ProbeSocket::Closing, "Closing("},
};
constexpr int kProgressWaitCount = static_cast<int>(std::size(kProgressWaits));

constexpr int kMsPerSecond = 1000;
constexpr int kLowestPort = 1;
constexpr int kHighestPort = 65535;

} // namespace

MonitorEngine::MonitorEngine(const Clock& clock, MonitorTimers engineTimers, TimerSource& timers, ProbeSocket& socket,
                             MessageBox& messages, HostTable& grid, MonitorControls controls, AppSettings& settings,
                             EventLog& log, AlertSink& alerts)
    : clock_(clock), Timer1_(engineTimers.Timer1), Timer2_(engineTimers.Timer2), Timer3_(engineTimers.Timer3),
      secondRefresh_(timers.createTimer(1000, false)), socket_(socket), messages_(messages), grid_(grid),
      controls_(controls), settings_(settings), log_(log), alerts_(alerts), recorder_(clock, log, alerts),
      probed_(grid) {
    timer1Ticks_ = Timer1_.subscribeTick([this] { Timer1_Timer(); });
    timer2Ticks_ = Timer2_.subscribeTick([this] { Timer2_Timer(); });
    timer3Ticks_ = Timer3_.subscribeTick([this] { Timer3_Timer(); });
    refreshTicks_ = secondRefresh_->subscribeTick([this] { lookAgain(); });
    socketChanges_ = socket_.subscribeStateChanged([this] { lookAgain(); });
}

std::int16_t MonitorEngine::seconds(const std::string& setting) const {
    return saturatedInt16(setting);
}

std::int16_t MonitorEngine::countDown(std::int16_t value) {
    return value > std::numeric_limits<std::int16_t>::min() ? static_cast<std::int16_t>(value - 1) : value;
}

void MonitorEngine::cmdMonitor_Click() {
    // Refused in both directions while the table is empty.
    if (grid_.isEmpty()) {
        messages_.show(kNoHostText);
        return;
    }
    if (controls_.cmdMonitor.text() == kStartCaption)
        start();
    else
        stop();
    lookAgain();
}

void MonitorEngine::start() {
    AppSettings& settings = settings_;
    // Only the settings in memory get the defaults; the settings file keeps what it holds.
    if (trim(settings.timeInterval).empty())
        settings.timeInterval = settingDefault(&AppSettings::timeInterval);
    if (trim(settings.timeOut).empty())
        settings.timeOut = settingDefault(&AppSettings::timeOut);
    stopRequested_ = false;
    controls_.cmdMonitor.setText(kStopCaption);
    log_.WriteLog("Monitoring Started");
    controls_.Label2.setVisible(true);
    monitoring_ = true;
    monitoringChanged_.notify();
    if (phase_ == Phase::Idle)
        RunCheckCycle();
    else
        startPending_ = true;
}

void MonitorEngine::stop() {
    Timer1_.setEnabled(false);
    controls_.cmdMonitor.setText(kStartCaption);
    controls_.cmdAdd.setEnabled(true);
    if (!grid_.enabled())
        grid_.setEnabled(true);
    stopRequested_ = true;
    startPending_ = false;
    socket_.close();
    log_.WriteLog("Monitoring Stopped");
    controls_.Label2.setVisible(false);
    monitoring_ = false;
    monitoringChanged_.notify();
}

void MonitorEngine::Timer1_Timer() {
    cycleCountdown_ = countDown(cycleCountdown_);
    if (cycleCountdown_ > 0)
        return;
    cycleCountdown_ = seconds(settings_.timeInterval);
    if (phase_ == Phase::Idle)
        RunCheckCycle();
}

void MonitorEngine::Timer2_Timer() {
    timeoutCountdown_ = countDown(timeoutCountdown_);
    if (timeoutCountdown_ <= 0) {
        timeoutCountdown_ = seconds(settings_.timeOut);
        probeTimedOut_ = true;
    }
    lookAgain();
}

void MonitorEngine::Timer3_Timer() {
    Timer3_.setEnabled(false);
    if (phase_ == Phase::ClosingPause) {
        socket_.close();
        drive(Step::ProbeRow);
    } else if (phase_ == Phase::ConnectPause) {
        waitIndex_ = 0;
        drive(Step::LookAtSocket);
    }
}

void MonitorEngine::lookAgain() {
    if (phase_ == Phase::SocketWait)
        drive(Step::LookAtSocket);
}

void MonitorEngine::refreshAtNextSecond() {
    const int msLeft = kMsPerSecond - std::clamp(clock_.now().millisecond, 0, kMsPerSecond - 1);
    secondRefresh_->setInterval(msLeft);
    secondRefresh_->setEnabled(true);
}

void MonitorEngine::RunCheckCycle() {
    drive(Step::StartCycle);
}

void MonitorEngine::drive(Step step) {
    while (step != Step::Stay) {
        phase_ = Phase::Busy;
        switch (step) {
        case Step::StartCycle:
            step = startCycle();
            break;
        case Step::BeginRow:
            step = beginRow();
            break;
        case Step::ProbeRow:
            step = probeRow();
            break;
        case Step::LookAtSocket:
            step = lookAtSocket();
            break;
        case Step::FinishRow:
            step = finishRow();
            break;
        case Step::Stay:
            break;
        }
    }
    if (phase_ != Phase::SocketWait)
        secondRefresh_->setEnabled(false);
}

MonitorEngine::Step MonitorEngine::startCycle() {
    controls_.cmdAdd.setEnabled(false);
    cycleCountdown_ = seconds(settings_.timeInterval);
    timeoutCountdown_ = seconds(settings_.timeOut);
    Timer1_.setEnabled(false);
    grid_.setEnabled(false);
    lastRow_ = grid_.lastRow();
    row_ = 1;
    return Step::BeginRow;
}

MonitorEngine::Step MonitorEngine::beginRow() {
    if (stopRequested_ || startPending_)
        return leaveCycle();
    // Rows added after the cycle began are left to the next cycle; rows deleted shorten this one.
    if (row_ > std::min(lastRow_, grid_.lastRow()))
        return endOfTable();
    probeTimedOut_ = false;
    timeoutCountdown_ = seconds(settings_.timeOut);
    Timer2_.setEnabled(false); // a fresh first second for the fresh countdown
    Timer2_.setEnabled(true);
    if (socket_.state() != ProbeSocket::Closed)
        return PauseOneSecond(Phase::ClosingPause);
    return Step::ProbeRow;
}

MonitorEngine::Step MonitorEngine::probeRow() {
    if (!grid_.isDataRow(row_))
        return endOfTable(); // deleted during the closing pause
    snapshot_ = takeRowSnapshot(grid_, row_);
    probed_.begin(row_);
    recorder_.beginProbe();
    socketProbed_ = false;
    if (snapshot_.host.empty())
        return halt();
    // A port the socket cannot take is a probe that could not be made: the Down outcome, at once.
    const auto port = toInt32(snapshot_.port);
    if (!port) {
        recorder_.RecordOutcome(probed_, snapshot_, ProbeSocket::Error);
        return Step::FinishRow;
    }
    controls_.Label2.setText("Current status : " + formatTime(clock_.now()) + " checking " + snapshot_.host +
                             " Port : " + snapshot_.port);
    if (*port < kLowestPort || *port > kHighestPort) {
        recorder_.RecordOutcome(probed_, snapshot_, ProbeSocket::Error);
        return Step::FinishRow;
    }
    socket_.connectTo(snapshot_.host, *port);
    socketProbed_ = true;
    return PauseOneSecond(Phase::ConnectPause);
}

MonitorEngine::Step MonitorEngine::PauseOneSecond(Phase pause) {
    Timer3_.setInterval(1000);
    Timer3_.setEnabled(true);
    phase_ = pause;
    return Step::Stay;
}

MonitorEngine::Step MonitorEngine::lookAtSocket() {
    ProbeSocket& socket = socket_;
    for (; waitIndex_ < kProgressWaitCount; ++waitIndex_) {
        const ProgressWait& wait = kProgressWaits[waitIndex_];
        if (socket.state() != wait.state)
            continue;
        if (probeTimedOut_)
            return Step::FinishRow;
        probed_.write(HostTable::colLastStatus, wait.label + formatTime(clock_.now()) + ")");
        phase_ = Phase::SocketWait;
        refreshAtNextSecond();
        return Step::Stay;
    }
    recorder_.RecordOutcome(probed_, snapshot_, socket.state());
    // A probe has one outcome: a connect that ended before or in the tick at which the countdown ran out
    // stands, and is not also a Timeout.
    probeTimedOut_ = false;
    return Step::FinishRow;
}

MonitorEngine::Step MonitorEngine::finishRow() {
    socket_.close();
    if (probeTimedOut_)
        recorder_.RecordTimeout(probed_, snapshot_);
    publishProbe();
    Timer2_.setEnabled(false);
    row_ = probed_.rowAfter();
    return Step::BeginRow;
}

void MonitorEngine::publishProbe() {
    const OutcomeRecorder::Verdict& verdict = recorder_.verdict();
    if (!verdict.recorded || !probeFinished_.observed())
        return;
    // A port the socket cannot take never reached it: its answer would be an earlier probe's.
    const ProbeSocket::Answer answer = socketProbed_ ? socket_.answer() : ProbeSocket::Answer{-1, EINVAL, false};
    FinishedProbe probe;
    probe.host = std::string(trim(snapshot_.host));
    probe.port = std::string(trim(snapshot_.port));
    probe.at = clock_.now();
    probe.outcome = verdict.outcome;
    probe.reason = failureReason(verdict.outcome, answer);
    probe.errorNumber = probe.reason == FinishedProbe::Reason::Other ? answer.errorNumber : 0;
    probe.connectMs = verdict.outcome == FinishedProbe::Outcome::Timeout ? -1 : answer.connectMs;
    probe.alertRaised = verdict.alertRaised;
    probeFinished_.notify(probe);
}

MonitorEngine::Step MonitorEngine::endOfTable() {
    alerts_.CycleEnded();
    // A stopped cycle that ran out of rows ends like any stopped cycle: no next cycle is scheduled.
    if (stopRequested_ || startPending_)
        return leaveCycle();
    grid_.setEnabled(true);
    controls_.Label2.setText("Current status : now " + formatTime(clock_.now()) + " waiting " + settings_.timeInterval +
                             " seconds for next start");
    Timer1_.setEnabled(true);
    Timer2_.setEnabled(false);
    controls_.cmdAdd.setEnabled(true);
    phase_ = Phase::Idle;
    return Step::Stay;
}

MonitorEngine::Step MonitorEngine::leaveCycle() {
    alerts_.CycleEnded();
    Timer2_.setEnabled(false);
    phase_ = Phase::Idle;
    if (!startPending_)
        return Step::Stay;
    startPending_ = false;
    return Step::StartCycle;
}

MonitorEngine::Step MonitorEngine::halt() {
    // Monitoring stays on with nothing scheduled; Add and the grid come back so that the operator can
    // fill the table, and a stop is accepted once the first row holds a host.
    grid_.setEnabled(true);
    controls_.cmdAdd.setEnabled(true);
    return leaveCycle();
}

} // namespace wardel
