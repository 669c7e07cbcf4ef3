#pragma once

#include <string>
#include <vector>

#include "common/local_date_time.h"

namespace wardel {

// What happened to the target: the failure that raised the alert, or its recovery.
enum class AlertKind {
    Down = 0,        // the connect was refused or failed
    BackToAlive = 1, // an alerted target answers again
    Timeout = 2,     // the connect did not finish within the timeout
};

// One alert or recovery as the engine raised it: the logged text, and the row it is about.
struct Alert {
    AlertKind kind = AlertKind::Down;
    std::string message; // the log line's text
    std::string host;
    std::string port;
    std::string description;
    LocalDateTime at; // when the outcome was recorded
};

// A receiver of the engine's alerts. Each sink delivers on its own way and with its own failures; none
// hands an alert on to another.
class AlertSink {
public:
    virtual ~AlertSink() = default;
    virtual void SendAlert(const Alert& alert) = 0;
    // A check cycle ended (after its last row, or stopped); a sink that gathers a cycle's alerts sends them.
    virtual void CycleEnded() {}
};

// The one door through which the engine hands an alert to the delivery side: every sink gets it, in the
// order they were added.
class AlertSinks : public AlertSink {
public:
    void add(AlertSink& sink) { sinks_.push_back(&sink); }
    void SendAlert(const Alert& alert) override {
        for (AlertSink* sink : sinks_)
            sink->SendAlert(alert);
    }
    void CycleEnded() override {
        for (AlertSink* sink : sinks_)
            sink->CycleEnded();
    }

private:
    std::vector<AlertSink*> sinks_;
};

} // namespace wardel
