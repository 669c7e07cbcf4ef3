#include "support/fake_scheduler.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace wardel::test {

std::int64_t epochSeconds(const LocalDateTime& t) {
    using namespace std::chrono;
    const sys_days day = year{t.year} / month{static_cast<unsigned>(t.month)} / static_cast<unsigned>(t.day);
    return day.time_since_epoch().count() * 86400LL + t.hour * 3600LL + t.minute * 60LL + t.second;
}

LocalDateTime fromEpochSeconds(std::int64_t seconds) {
    using namespace std::chrono;
    const auto days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
    const std::int64_t rest = seconds - days * 86400;
    const year_month_day ymd{sys_days{std::chrono::days{days}}};
    return LocalDateTime{static_cast<int>(ymd.year()),
                         static_cast<int>(static_cast<unsigned>(ymd.month())),
                         static_cast<int>(static_cast<unsigned>(ymd.day())),
                         static_cast<int>(rest / 3600),
                         static_cast<int>(rest / 60 % 60),
                         static_cast<int>(rest % 60)};
}

namespace {

std::int64_t epochMs(const LocalDateTime& t) {
    return epochSeconds(t) * 1000 + t.millisecond;
}

} // namespace

FakeScheduler::FakeScheduler(LocalDateTime start) : startEpochMs_(epochMs(start)) {}

FakeScheduler::~FakeScheduler() {
    for (FakeTimer* timer : timers_)
        timer->scheduler_ = nullptr;
}

LocalDateTime FakeScheduler::now() const {
    const std::int64_t ms = startEpochMs_ + nowMs_;
    const std::int64_t seconds = ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
    LocalDateTime t = fromEpochSeconds(seconds);
    t.millisecond = static_cast<int>(ms - seconds * 1000);
    return t;
}

std::unique_ptr<Timer> FakeScheduler::createTimer(int intervalMs, bool enabled) {
    return std::make_unique<FakeTimer>(*this, intervalMs, enabled);
}

void FakeScheduler::advance(std::int64_t ms) {
    const std::int64_t target = nowMs_ + ms;
    for (;;) {
        runPending();
        FakeTimer* next = nullptr;
        for (FakeTimer* timer : timers_) {
            if (timer->enabled_ && timer->interval_ > 0 && timer->due_ <= target && (!next || timer->due_ < next->due_))
                next = timer;
        }
        if (!next)
            break;
        nowMs_ = std::max(nowMs_, next->due_);
        next->due_ = nowMs_ + next->interval_;
        next->tick();
    }
    nowMs_ = target;
}

void FakeScheduler::runPending() {
    while (!events_.empty()) {
        auto event = std::move(events_.front());
        events_.pop_front();
        event();
    }
}

void FakeScheduler::advanceTo(const LocalDateTime& when) {
    const std::int64_t targetMs = epochMs(when) - startEpochMs_;
    if (targetMs < nowMs_)
        throw std::invalid_argument("advanceTo into the past");
    advance(targetMs - nowMs_);
}

FakeScheduler::FakeTimer::FakeTimer(FakeScheduler& scheduler, int intervalMs, bool enabled)
    : scheduler_(&scheduler), interval_(intervalMs), enabled_(enabled), due_(scheduler.nowMs_ + intervalMs) {
    scheduler.timers_.push_back(this);
}

FakeScheduler::FakeTimer::~FakeTimer() {
    if (scheduler_)
        std::erase(scheduler_->timers_, this);
}

void FakeScheduler::FakeTimer::setInterval(int ms) {
    interval_ = ms;
    if (scheduler_)
        due_ = scheduler_->nowMs_ + ms;
}

void FakeScheduler::FakeTimer::setEnabled(bool on) {
    if (on && !enabled_ && scheduler_)
        due_ = scheduler_->nowMs_ + interval_;
    enabled_ = on;
}

} // namespace wardel::test
