#include "platform/qt/qt_desktop_notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
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

void QtDesktopNotifier::notify(const std::string& summary, const std::string& body, Urgency urgency,
                               const std::string& tag) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), desktopEntry_);
    hints.insert(QStringLiteral("urgency"),
                 QVariant::fromValue(urgency == Urgency::Critical ? kCriticalUrgency : kNormalUrgency));
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    // The body is read as markup by many services; the text goes as it is, so markup signs are escaped.
    const auto known = ids_.find(tag);
    const uint replaces = tag.empty() || known == ids_.end() ? 0u : known->second;
    message << applicationName_ << replaces << desktopEntry_ << QString::fromStdString(summary)
            << QString::fromStdString(body).toHtmlEscaped() << QStringList() << hints << kServerDefaultTimeout;
    // Nothing waits for the service: an untagged notice wants no reply, a tagged one's reply is taken when it
    // comes, and no service on the bus means nothing happens at all.
    if (tag.empty()) {
        bus.send(message);
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message), &replies_);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &replies_, [this, tag](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<uint> reply = *w;
        if (reply.isValid())
            ids_[tag] = reply.value();
        w->deleteLater();
    });
}

} // namespace wardel::qt
