#pragma once

#include <QAbstractNativeEventFilter>
#include <QDBusServiceWatcher>
#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <array>
#include <memory>

#include "platform/tray_icon.h"

namespace wardel::qt {

// The notification-area icon, with a picture for each state. Only the operator's wish to see the window
// reaches the monitor: the double-click on an XEmbed tray, and on a StatusNotifierItem tray (Plasma, GNOME
// with AppIndicator, every Wayland session) the host's activation, which Qt reports as a single click and
// which is the only activation such a host sends.
//
// Qt decides once per process, when its first tray icon is made, whether icons go to a StatusNotifierItem
// host or into an XEmbed tray, and then follows only that kind (a restarted panel of that kind gets the icon
// again). A panel that starts after Wardel would find it committed to the wrong kind, or to none, so the Qt
// icon is made only once a tray of either kind is there: until then this watches for the
// StatusNotifierWatcher on the session bus and for the XEmbed tray's MANAGER announcement on the X display.
class QtTrayIcon : public QObject, public TrayIcon, private QAbstractNativeEventFilter {
public:
    // One picture for every state.
    explicit QtTrayIcon(const QIcon& icon);
    // A picture for each state, in the order of TrayIcon::State.
    explicit QtTrayIcon(std::array<QIcon, 3> pictures);
    ~QtTrayIcon() override;

    bool available() const override;
    void add(const std::string& tip) override;
    void remove() override;
    void showState(State state) override;

    // The icon's context menu, kept by the caller.
    void setContextMenu(QMenu* menu);

    // Whether Qt put the added icon on a StatusNotifierItem host rather than into an XEmbed tray.
    bool onStatusNotifierHost() const;

    // For tests: the icon as the desktop sees it (made now if no tray has called for it yet).
    QSystemTrayIcon& icon();

private:
    void activated(QSystemTrayIcon::ActivationReason reason);
    // Makes the Qt icon when a tray of either kind is there now.
    void trayMayHaveAppeared();
    void watchForTrays();
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    std::array<QIcon, 3> pictures_;
    State state_ = State::Normal;
    QString tip_;
    QMenu* menu_ = nullptr;
    std::unique_ptr<QSystemTrayIcon> icon_;
    std::unique_ptr<QDBusServiceWatcher> watcher_;
    bool filtering_ = false;
    bool added_ = false;
};

} // namespace wardel::qt
