#include "platform/qt/qt_tray_icon.h"

#include "platform/qt/program_end.h"

namespace wardel::qt {

QtTrayIcon::QtTrayIcon(const QIcon& icon) : icon_(icon) {
    QObject::connect(&icon_, &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick && !programEnded())
            doubleClicked();
    });
}

bool QtTrayIcon::available() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool QtTrayIcon::add(const std::string& tip) {
    if (!available())
        return false;
    icon_.setToolTip(QString::fromStdString(tip));
    icon_.show();
    return true;
}

void QtTrayIcon::remove() {
    icon_.hide();
}

} // namespace wardel::qt
