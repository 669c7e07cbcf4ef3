#pragma once

#include <functional>
#include <string>

#include "common/subscription.h"

namespace wardel {

// The notification-area icon. Only a double-click is reported.
class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    // Whether the desktop offers a notification area at all.
    virtual bool available() const = 0;
    virtual bool add(const std::string& tip) = 0;
    virtual void remove() = 0;
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
