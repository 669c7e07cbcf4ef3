#include "platform/qt/qt_tray_icon.h"

#include <xcb/xcb.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QTimer>
#include <cstdlib>

#include "platform/qt/program_end.h"

namespace wardel::qt {

namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");

xcb_connection_t* x11Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* x11, const QByteArray& name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        x11, xcb_intern_atom(x11, 0, static_cast<uint16_t>(name.size()), name.constData()), nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply); // NOLINT: xcb's replies are malloc'ed
    return found;
}

// The XEmbed tray's selection of the display's screen ("_NET_SYSTEM_TRAY_S0" on a display ":1" or ":1.0").
QByteArray traySelectionName() {
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype dot = display.lastIndexOf('.');
    const qsizetype colon = display.lastIndexOf(':');
    return "_NET_SYSTEM_TRAY_S" + (dot > colon ? display.mid(dot + 1) : QByteArray("0"));
}

bool xembedTrayThere() {
    xcb_connection_t* x11 = x11Connection();
    if (x11 == nullptr)
        return false;
    const xcb_atom_t selection = atom(x11, traySelectionName());
    xcb_get_selection_owner_reply_t* reply =
        xcb_get_selection_owner_reply(x11, xcb_get_selection_owner(x11, selection), nullptr);
    const bool owned = reply && reply->owner != XCB_WINDOW_NONE;
    std::free(reply); // NOLINT: xcb's replies are malloc'ed
    return owned;
}

bool statusNotifierWatcherThere() {
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    return bus && bus->isServiceRegistered(kWatcherService).value();
}

} // namespace

QtTrayIcon::QtTrayIcon(const QIcon& icon) : QtTrayIcon(std::array<QIcon, 3>{icon, icon, icon}) {}

QtTrayIcon::QtTrayIcon(std::array<QIcon, 3> pictures) : pictures_(std::move(pictures)) {}

QtTrayIcon::~QtTrayIcon() {
    if (filtering_)
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

QSystemTrayIcon& QtTrayIcon::icon() {
    if (!icon_) {
        icon_ = std::make_unique<QSystemTrayIcon>(pictures_[static_cast<std::size_t>(state_)]);
        icon_->setToolTip(tip_);
        icon_->setContextMenu(menu_);
        QObject::connect(icon_.get(), &QSystemTrayIcon::activated,
                         [this](QSystemTrayIcon::ActivationReason reason) { activated(reason); });
    }
    return *icon_;
}

void QtTrayIcon::setContextMenu(QMenu* menu) {
    menu_ = menu;
    if (icon_)
        icon_->setContextMenu(menu);
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
    return added_ && icon_ && icon_->isVisible() && icon_->geometry().isEmpty();
}

bool QtTrayIcon::available() const {
    // Before the Qt icon exists Qt is not asked: asking would commit it to the trays there are now.
    return icon_ && QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayIcon::add(const std::string& tip) {
    tip_ = QString::fromStdString(tip);
    added_ = true;
    if (icon_) {
        icon_->setToolTip(tip_);
        icon_->show();
        return;
    }
    watchForTrays();
    trayMayHaveAppeared();
}

void QtTrayIcon::trayMayHaveAppeared() {
    if (!added_ || icon_ || !(statusNotifierWatcherThere() || xembedTrayThere()))
        return;
    icon().show();
}

void QtTrayIcon::watchForTrays() {
    if (!watcher_) {
        watcher_ = std::make_unique<QDBusServiceWatcher>(kWatcherService, QDBusConnection::sessionBus(),
                                                         QDBusServiceWatcher::WatchForRegistration);
        QObject::connect(watcher_.get(), &QDBusServiceWatcher::serviceRegistered, this,
                         [this] { trayMayHaveAppeared(); });
    }
    if (!filtering_ && x11Connection() != nullptr) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        filtering_ = true;
    }
}

bool QtTrayIcon::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    // A new XEmbed tray announces itself with a MANAGER message to the root window, which Qt listens to.
    if (icon_ || eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
        return false;
    const auto* client = static_cast<const xcb_client_message_event_t*>(message);
    xcb_connection_t* x11 = x11Connection();
    if (x11 != nullptr && client->format == 32 && client->type == atom(x11, "MANAGER") &&
        client->data.data32[1] == atom(x11, traySelectionName()))
        QTimer::singleShot(0, this, [this] { trayMayHaveAppeared(); });
    return false;
}

void QtTrayIcon::remove() {
    added_ = false;
    if (icon_)
        icon_->hide();
}

void QtTrayIcon::showState(State state) {
    state_ = state;
    if (icon_)
        icon_->setIcon(pictures_[static_cast<std::size_t>(state)]);
}

} // namespace wardel::qt
