#pragma once

#include <QTimer>

#include "platform/timer.h"

namespace wardel::qt {

// One timer of the main window on a QTimer. An interval of 0 never ticks, as the main window's timers have it;
// after the program has ended no tick reaches the monitor.
class QtTimer : public Timer {
public:
    QtTimer(int intervalMs, bool enabled);

    void setInterval(int ms) override;
    int interval() const override { return interval_; }
    void setEnabled(bool on) override;
    bool enabled() const override { return enabled_; }

private:
    // Starts a fresh interval when the timer should run, stops it otherwise.
    void restart();
    void onTimeout();

    QTimer timer_;
    int interval_;
    bool enabled_;
};

class QtTimerSource : public TimerSource {
public:
    std::unique_ptr<Timer> createTimer(int intervalMs, bool enabled) override;
};

} // namespace wardel::qt
