#include "platform/qt/qt_desktop_notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace wardel::qt {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

// The service's urgency levels, sent as a byte.
constexpr uchar kNormalUrgency = 1;
constexpr uchar kCriticalUrgency = 2;
// The service decides how long a notification stays.
constexpr int kServerDefaultTimeout = -1;

} // namespace

QtDesktopNotifier::QtDesktopNotifier(QString applicationName, QString desktopEntry)
    : applicationName_(std::move(applicationName)), desktopEntry_(std::move(desktopEntry)) {}

void QtDesktopNotifier::notify(const std::string& summary, const std::string& body, Urgency urgency) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), desktopEntry_);
    hints.insert(QStringLiteral("urgency"),
                 QVariant::fromValue(urgency == Urgency::Critical ? kCriticalUrgency : kNormalUrgency));
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    // The body is read as markup by many services; the text goes as it is, so markup signs are escaped.
    message << applicationName_ << 0u << desktopEntry_ << QString::fromStdString(summary)
            << QString::fromStdString(body).toHtmlEscaped() << QStringList() << hints << kServerDefaultTimeout;
    // Sent as a call that wants no reply: nothing waits for the service, nothing is kept for an answer that
    // may never come, and no service on the bus means nothing happens at all.
    bus.send(message);
}

} // namespace wardel::qt
