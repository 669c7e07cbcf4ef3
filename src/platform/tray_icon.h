#pragma once

#include <functional>
#include <string>

#include "common/subscription.h"

namespace wardel {

// The notification-area icon. Only a double-click (or what the desktop's tray offers in its place) is
// reported.
class TrayIcon {
public:
    // What the icon's picture says about the table.
    enum class State {
        Normal,  // every target answers, or nothing is monitored
        Failing, // at least one target's last outcome was a failure
        Alerted, // at least one row holds an alert marker
    };

    virtual ~TrayIcon() = default;
    // Whether a notification area shows the icon at this moment.
    virtual bool available() const = 0;
    // Asks for the icon: it shows whenever a notification area is there, one that starts later included.
    virtual void add(const std::string& tip) = 0;
    virtual void remove() = 0;
    // Changes the picture only; the tip stays.
    virtual void showState(State state) = 0;
    // One observer at a time.
    Subscription subscribeDoubleClick(std::function<void()> handler) {
        return doubleClicked_.subscribe(std::move(handler));
    }

protected:
    void doubleClicked() { doubleClicked_.notify(); }

private:
    SingleObserver<> doubleClicked_;
};

} // namespace wardel
