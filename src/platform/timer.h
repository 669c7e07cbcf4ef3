#pragma once

#include <functional>
#include <memory>

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
    // Called once per tick while enabled, from the event loop.
    void setTickHandler(std::function<void()> handler) { onTick_ = std::move(handler); }

protected:
    void tick() {
        if (onTick_)
            onTick_();
    }

private:
    std::function<void()> onTick_;
};

class TimerSource {
public:
    virtual ~TimerSource() = default;
    virtual std::unique_ptr<Timer> createTimer(int intervalMs, bool enabled) = 0;
};

}  // namespace wardel
