#pragma once

#include <functional>
#include <string>

namespace wardel {

// The notification-area icon. Only a double-click is reported.
class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    // Whether the desktop offers a notification area at all.
    virtual bool available() const = 0;
    virtual bool add(const std::string& tip) = 0;
    virtual void remove() = 0;
    void setDoubleClickHandler(std::function<void()> handler) { onDoubleClick_ = std::move(handler); }

protected:
    void doubleClicked() {
        if (onDoubleClick_)
            onDoubleClick_();
    }

private:
    std::function<void()> onDoubleClick_;
};

}  // namespace wardel
