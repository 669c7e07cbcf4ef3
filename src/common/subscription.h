#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>

namespace wardel {

// What an observer holds while it listens: it unregisters when it goes, so an object that dies before what
// it observes is never called back. Move-only; an empty one holds nothing.
class [[nodiscard]] Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    Subscription(Subscription&& other) noexcept : cancel_(std::exchange(other.cancel_, nullptr)) {}
    Subscription& operator=(Subscription&& other) noexcept {
        if (this != &other) {
            reset();
            cancel_ = std::exchange(other.cancel_, nullptr);
        }
        return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { reset(); }

    // Stops listening now.
    void reset() {
        if (auto cancel = std::exchange(cancel_, nullptr))
            cancel();
    }
    explicit operator bool() const { return static_cast<bool>(cancel_); }

private:
    std::function<void()> cancel_;
};

// A notice with room for exactly one observer. A second observer while the first still listens is a
// programming error (std::logic_error): it would silently take the first one's place. The subscription may
// outlive the notice; it then cancels nothing.
template <typename... Args> class SingleObserver {
public:
    using Handler = std::function<void(Args...)>;

    Subscription subscribe(Handler handler) {
        if (slot_->handler)
            throw std::logic_error("this notice already has its one observer");
        slot_->handler = std::move(handler);
        return Subscription([weak = std::weak_ptr<Slot>(slot_)] {
            if (const auto slot = weak.lock())
                slot->handler = nullptr;
        });
    }

    bool observed() const { return static_cast<bool>(slot_->handler); }

    // Calls the observer, if any. A copy is called, so the observer may unsubscribe while it runs.
    void notify(Args... args) const {
        if (!slot_->handler)
            return;
        const Handler handler = slot_->handler;
        handler(args...);
    }

private:
    struct Slot {
        Handler handler;
    };
    std::shared_ptr<Slot> slot_ = std::make_shared<Slot>();
};

} // namespace wardel

namespace wardel {

// Room for one observer object, for subjects that call several methods of it. The same rule as
// SingleObserver: a second observer while the first listens is a programming error.
template <typename Observer> class ObserverPointer {
public:
    ObserverPointer() = default;
    ObserverPointer(const ObserverPointer&) = delete;
    ObserverPointer& operator=(const ObserverPointer&) = delete;

    Subscription attach(Observer& observer) {
        if (*slot_)
            throw std::logic_error("this subject already has its one observer");
        *slot_ = &observer;
        return Subscription([weak = std::weak_ptr<Observer*>(slot_)] {
            if (const auto slot = weak.lock())
                *slot = nullptr;
        });
    }

    explicit operator bool() const { return *slot_ != nullptr; }
    Observer* operator->() const { return *slot_; }

private:
    std::shared_ptr<Observer*> slot_ = std::make_shared<Observer*>(nullptr);
};

} // namespace wardel
