#pragma once

#include <functional>
#include <memory>

#include "common/subscription.h"

namespace wardel {

// One periodic tick source of the main window. Enabling a disabled timer, or changing the interval of an
// enabled one, starts a fresh interval; enabling an enabled timer changes nothing.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
    virtual void setEnabled(bool on) = 0;
    virtual bool enabled() const = 0;
    // Called once per tick while enabled, from the event loop; one observer at a time.
    Subscription subscribeTick(std::function<void()> handler) { return ticked_.subscribe(std::move(handler)); }

protected:
    void tick() { ticked_.notify(); }

private:
    SingleObserver<> ticked_;
};

class TimerSource {
public:
    virtual ~TimerSource() = default;
    virtual std::unique_ptr<Timer> createTimer(int intervalMs, bool enabled) = 0;
};

} // namespace wardel
