#pragma once

#include <QIcon>
#include <QSystemTrayIcon>
#include <array>

#include "platform/tray_icon.h"

namespace wardel::qt {

// The notification-area icon, with a picture for each state. Only the operator's wish to see the window
// reaches the monitor: the double-click on an XEmbed tray, and on a StatusNotifierItem tray (Plasma, GNOME
// with AppIndicator, every Wayland session) the host's activation, which Qt reports as a single click and
// which is the only activation such a host sends.
class QtTrayIcon : public TrayIcon {
public:
    // One picture for every state.
    explicit QtTrayIcon(const QIcon& icon);
    // A picture for each state, in the order of TrayIcon::State.
    explicit QtTrayIcon(std::array<QIcon, 3> pictures);

    bool available() const override;
    bool add(const std::string& tip) override;
    void remove() override;
    void showState(State state) override;

    // Whether Qt put the added icon on a StatusNotifierItem host rather than into an XEmbed tray.
    bool onStatusNotifierHost() const;

    // For tests: the icon as the desktop sees it.
    QSystemTrayIcon& icon() { return icon_; }

private:
    void activated(QSystemTrayIcon::ActivationReason reason);

    std::array<QIcon, 3> pictures_;
    QSystemTrayIcon icon_;
    bool added_ = false;
};

} // namespace wardel::qt
