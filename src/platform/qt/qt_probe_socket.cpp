#include "platform/qt/qt_probe_socket.h"

#include <QMetaObject>
#include <QNetworkProxy>
#include <QSignalBlocker>

#include "platform/qt/lifetime.h"

namespace wardel::qt {

namespace {

// The probe never reads what a target sends. Qt would otherwise keep reading into an unbounded buffer
// during the pause and the waits; with a full small buffer it stops reading, TCP flow control stops the
// target, and a target that streams on connect costs neither memory nor CPU.
constexpr qint64 kReadBufferBytes = 4096;
constexpr std::int32_t kLowestPort = 1;
constexpr std::int32_t kHighestPort = 65535;

} // namespace

QtProbeSocket::QtProbeSocket(QObject* parent) : QObject(parent), socket_(this) {
    // A probe is a plain TCP connect to the target itself, never through a proxy.
    socket_.setProxy(QNetworkProxy::NoProxy);
    socket_.setReadBufferSize(kReadBufferBytes);
    connect(&socket_, &QAbstractSocket::stateChanged, this, &QtProbeSocket::onStateChanged);
    connect(&socket_, &QAbstractSocket::errorOccurred, this, &QtProbeSocket::onErrorOccurred);
}

void QtProbeSocket::connectTo(const std::string& host, std::int32_t port) {
    if (attempting_ || socket_.state() != QAbstractSocket::UnconnectedState)
        close();
    ++attempt_;
    attempting_ = true;
    if (port < kLowestPort || port > kHighestPort) {
        // The engine never asks for such a port; should anyone, the attempt fails like a refused one.
        failed_ = true;
        notifyLater();
        return;
    }
    socket_.connectToHost(QString::fromStdString(host), static_cast<quint16>(port));
}

void QtProbeSocket::close() {
    ++attempt_;
    attempting_ = connected_ = failed_ = false;
    lastNotified_ = Closed;
    // Closing is the engine's own doing and is not reported back to it.
    const QSignalBlocker quiet(socket_);
    socket_.abort();
}

int QtProbeSocket::state() const {
    if (failed_)
        return Error;
    switch (socket_.state()) {
    case QAbstractSocket::UnconnectedState:
        // A connection the target ended (closed or reset) stays "closing" until the probe closes it, as a
        // socket that only the program closes does; only a socket never connected reads as closed.
        return connected_ ? Closing : Closed;
    case QAbstractSocket::HostLookupState:
        return ResolvingHost;
    case QAbstractSocket::ConnectingState:
        return Connecting;
    case QAbstractSocket::ConnectedState:
        return Connected;
    case QAbstractSocket::BoundState:
        return attempting_ ? Connecting : Closed;
    case QAbstractSocket::ListeningState:
        return Listening;
    case QAbstractSocket::ClosingState:
        return Closing;
    }
    return Closed;
}

void QtProbeSocket::onStateChanged(QAbstractSocket::SocketState state) {
    if (!attempting_)
        return;
    if (state == QAbstractSocket::ConnectedState)
        connected_ = true;
    // Back to unconnected without our close and before a connection: the attempt failed, whatever
    // error Qt names after this.
    if (state == QAbstractSocket::UnconnectedState && !connected_)
        failed_ = true;
    notifyLater();
}

void QtProbeSocket::onErrorOccurred(QAbstractSocket::SocketError) {
    if (!attempting_)
        return;
    // An error after the connection was made (the peer closing it) is shown by the states that follow.
    if (!connected_)
        failed_ = true;
    notifyLater();
}

void QtProbeSocket::notifyLater() {
    QMetaObject::invokeMethod(
        this,
        [this, attempt = attempt_] {
            if (attempt != attempt_ || programEnded())
                return;
            const int now = state();
            if (now == lastNotified_)
                return;
            lastNotified_ = now;
            stateChanged();
        },
        Qt::QueuedConnection);
}

} // namespace wardel::qt
