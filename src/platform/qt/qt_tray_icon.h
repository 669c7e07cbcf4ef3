#pragma once

#include <QIcon>
#include <QSystemTrayIcon>

#include "platform/tray_icon.h"

namespace wardel::qt {

// The notification-area icon with the window's own icon. Only the double-click reaches the monitor.
class QtTrayIcon : public TrayIcon {
public:
    explicit QtTrayIcon(const QIcon& icon);

    bool available() const override;
    bool add(const std::string& tip) override;
    void remove() override;

    // For tests: the icon as the desktop sees it.
    QSystemTrayIcon& icon() { return icon_; }

private:
    QSystemTrayIcon icon_;
};

} // namespace wardel::qt
