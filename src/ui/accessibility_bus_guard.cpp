#include "ui/accessibility_bus_guard.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QPointer>
#include <QTimer>

namespace wardel::qt {

namespace {

// The bridge's connection to the accessibility bus, and the path under which it answers for every object.
const QString kBusName = QStringLiteral("a11y");
const QString kObjectsPath = QStringLiteral("/org/a11y/atspi/accessible");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

class PropertiesGuard : public QDBusVirtualObject {
public:
    explicit PropertiesGuard(QObject* parent) : QDBusVirtualObject(parent) {}

    // Takes the bridge's place on the bus once the bridge is there; later calls change nothing.
    void standInFront() {
        QDBusConnection bus(kBusName);
        if (!bus.isConnected())
            return;
        auto* bridge = qobject_cast<QDBusVirtualObject*>(bus.objectRegisteredAt(kObjectsPath));
        if (!bridge || bridge == this)
            return;
        bridge_ = bridge;
        bus.unregisterObject(kObjectsPath, QDBusConnection::UnregisterTree);
        if (!bus.registerVirtualObject(kObjectsPath, this, QDBusConnection::SubPath))
            bus.registerVirtualObject(kObjectsPath, bridge, QDBusConnection::SubPath);
    }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.interface() == kProperties && message.arguments().size() < 2) {
            connection.send(
                message.createErrorReply(QDBusError::NotSupported, QStringLiteral("Ask for one property at a time")));
            return true;
        }
        return bridge_ && bridge_->handleMessage(message, connection);
    }

    QString introspect(const QString& path) const override { return bridge_ ? bridge_->introspect(path) : QString(); }

private:
    QPointer<QDBusVirtualObject> bridge_;
};

// The bridge goes on the bus right after it reports accessibility active, in the same turn of the event
// loop; the guard follows on the next turn, before any request for an object can reach the program.
class ActivationWatch : public QAccessible::ActivationObserver {
public:
    explicit ActivationWatch(PropertiesGuard* guard) : guard_(guard) {}
    void accessibilityActiveChanged(bool active) override {
        if (active)
            QTimer::singleShot(0, guard_, [guard = guard_] { guard->standInFront(); });
    }

private:
    PropertiesGuard* guard_;
};

} // namespace

void guardAccessibilityBus() {
    auto* guard = new PropertiesGuard(QCoreApplication::instance());
    static ActivationWatch watch(guard);
    QAccessible::installActivationObserver(&watch);
    QTimer::singleShot(0, guard, [guard] { guard->standInFront(); });
}

} // namespace wardel::qt
