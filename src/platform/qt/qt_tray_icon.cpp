#include "platform/qt/qt_tray_icon.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <algorithm>

#include "platform/qt/lifetime.h"

namespace wardel::qt {

namespace {

// Qt registers a StatusNotifierItem under this name followed by its own counter, and only when it found a
// StatusNotifierItem host on the session bus; otherwise it embeds the icon in an XEmbed tray.
QString statusNotifierItemPrefix() {
    return QStringLiteral("org.kde.StatusNotifierItem-%1-").arg(QCoreApplication::applicationPid());
}

bool registeredAsStatusNotifierItem() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QStringList names = bus.interface()->registeredServiceNames().value();
    const QString prefix = statusNotifierItemPrefix();
    return std::any_of(names.begin(), names.end(), [&prefix](const QString& name) { return name.startsWith(prefix); });
}

} // namespace

QtTrayIcon::QtTrayIcon(const QIcon& icon) : QtTrayIcon(std::array<QIcon, 3>{icon, icon, icon}) {}

QtTrayIcon::QtTrayIcon(std::array<QIcon, 3> pictures) : pictures_(std::move(pictures)), icon_(pictures_[0]) {
    QObject::connect(&icon_, &QSystemTrayIcon::activated,
                     [this](QSystemTrayIcon::ActivationReason reason) { activated(reason); });
}

void QtTrayIcon::activated(QSystemTrayIcon::ActivationReason reason) {
    if (programEnded())
        return;
    // An XEmbed tray reports a single click as Trigger before the double-click; only the double-click counts.
    if (reason == QSystemTrayIcon::DoubleClick || (reason == QSystemTrayIcon::Trigger && statusNotifier_))
        doubleClicked();
}

bool QtTrayIcon::available() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool QtTrayIcon::add(const std::string& tip) {
    if (!available())
        return false;
    icon_.setToolTip(QString::fromStdString(tip));
    icon_.show();
    // Qt has chosen its kind of tray by now: a StatusNotifierItem is registered on the bus within show().
    statusNotifier_ = registeredAsStatusNotifierItem();
    return true;
}

void QtTrayIcon::remove() {
    icon_.hide();
}

void QtTrayIcon::showState(State state) {
    icon_.setIcon(pictures_[static_cast<std::size_t>(state)]);
}

} // namespace wardel::qt
