#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "platform/clock.h"
#include "platform/timer.h"

namespace wardel::test {

// Virtual time for the core: a local clock (to the millisecond) and timers that tick only when the test
// advances time. Ticks fire in due-time order, ties in the order the timers were created. Beside the timers
// runs an event queue, as Qt's event loop has: posted events run in the order posted, before the next tick and
// before time moves on, or when the test calls runPending().
class FakeScheduler : public Clock, public TimerSource {
public:
    explicit FakeScheduler(LocalDateTime start = {2026, 12, 6, 7, 5, 9});
    ~FakeScheduler() override;

    LocalDateTime now() const override;
    std::unique_ptr<Timer> createTimer(int intervalMs, bool enabled) override;

    // Moves virtual time forward by ms, firing every tick that falls due on the way.
    void advance(std::int64_t ms);
    // Moves to the given local time (must not lie in the past).
    void advanceTo(const LocalDateTime& when);
    std::int64_t elapsedMs() const { return nowMs_; }
    std::size_t timerCount() const { return timers_.size(); }
    std::size_t pendingEventCount() const { return events_.size(); }

    // Queues an event for the loop; it never runs inside post().
    void post(std::function<void()> event) { events_.push_back(std::move(event)); }
    // Runs every queued event, and those they post, at the current time.
    void runPending();

    class FakeTimer;

private:
    friend class FakeTimer;
    std::int64_t startEpochMs_;
    std::int64_t nowMs_ = 0;
    std::vector<FakeTimer*> timers_; // in creation order
    std::deque<std::function<void()>> events_;
};

class FakeScheduler::FakeTimer : public Timer {
public:
    FakeTimer(FakeScheduler& scheduler, int intervalMs, bool enabled);
    ~FakeTimer() override;
    void setInterval(int ms) override;
    int interval() const override { return interval_; }
    void setEnabled(bool on) override;
    bool enabled() const override { return enabled_; }

private:
    friend class FakeScheduler;
    FakeScheduler* scheduler_;
    int interval_;
    bool enabled_;
    std::int64_t due_ = 0;
};

std::int64_t epochSeconds(const LocalDateTime& t);
LocalDateTime fromEpochSeconds(std::int64_t seconds);

} // namespace wardel::test
