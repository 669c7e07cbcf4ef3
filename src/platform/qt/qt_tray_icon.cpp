#include "platform/qt/qt_tray_icon.h"

#include "platform/qt/program_end.h"

namespace wardel::qt {

QtTrayIcon::QtTrayIcon(const QIcon& icon) : QtTrayIcon(std::array<QIcon, 3>{icon, icon, icon}) {}

QtTrayIcon::QtTrayIcon(std::array<QIcon, 3> pictures) : pictures_(std::move(pictures)), icon_(pictures_[0]) {
    QObject::connect(&icon_, &QSystemTrayIcon::activated,
                     [this](QSystemTrayIcon::ActivationReason reason) { activated(reason); });
}

void QtTrayIcon::activated(QSystemTrayIcon::ActivationReason reason) {
    if (programEnded())
        return;
    // An XEmbed tray reports a single click as Trigger before the double-click; only the double-click counts.
    if (reason == QSystemTrayIcon::DoubleClick || (reason == QSystemTrayIcon::Trigger && onStatusNotifierHost()))
        doubleClicked();
}

bool QtTrayIcon::onStatusNotifierHost() const {
    // Qt embeds an XEmbed icon as a small window of its own, which has a place on the screen; a
    // StatusNotifierItem is drawn by its host, and Qt gives it no geometry at all.
    return added_ && icon_.geometry().isEmpty();
}

bool QtTrayIcon::available() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool QtTrayIcon::add(const std::string& tip) {
    if (!available())
        return false;
    icon_.setToolTip(QString::fromStdString(tip));
    icon_.show();
    added_ = true;
    return true;
}

void QtTrayIcon::remove() {
    icon_.hide();
    added_ = false;
}

void QtTrayIcon::showState(State state) {
    icon_.setIcon(pictures_[static_cast<std::size_t>(state)]);
}

} // namespace wardel::qt
