#include "platform/qt/qt_timer.h"

#include "platform/qt/program_end.h"

namespace wardel::qt {

QtTimer::QtTimer(int intervalMs, bool enabled) : interval_(intervalMs), enabled_(enabled) {
    // The monitor counts seconds with these ticks; the coarse default may be off by 5 % of the interval.
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { onTimeout(); });
    restart();
}

void QtTimer::setInterval(int ms) {
    interval_ = ms;
    restart();
}

void QtTimer::setEnabled(bool on) {
    if (on == enabled_)
        return;
    enabled_ = on;
    restart();
}

void QtTimer::restart() {
    if (enabled_ && interval_ > 0 && !programEnded())
        timer_.start(interval_);
    else
        timer_.stop();
}

void QtTimer::onTimeout() {
    if (programEnded()) {
        timer_.stop();
        return;
    }
    tick();
}

std::unique_ptr<Timer> QtTimerSource::createTimer(int intervalMs, bool enabled) {
    return std::make_unique<QtTimer>(intervalMs, enabled);
}

} // namespace wardel::qt
