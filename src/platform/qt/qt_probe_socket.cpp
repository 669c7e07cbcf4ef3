#include "platform/qt/qt_probe_socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <limits>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QHostInfo>
#include <QMetaObject>

#include "platform/qt/program_end.h"

namespace wardel::qt {

namespace {

// What a connected target sends is dropped up to this much; then it is left unread, so the kernel's
// buffers fill and TCP flow control stops a target that streams on connect.
constexpr qint64 kTakenBytes = 4096;
constexpr std::int32_t kLowestPort = 1;
constexpr std::int32_t kHighestPort = 65535;

// The system's address for `address` and `port`; its length is 0 for an address of no IP kind.
struct SocketAddress {
    sockaddr_storage storage{};
    socklen_t length = 0;

    SocketAddress(const QHostAddress& address, quint16 port) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol) {
            auto* v4 = reinterpret_cast<sockaddr_in*>(&storage);
            v4->sin_family = AF_INET;
            v4->sin_port = htons(port);
            v4->sin_addr.s_addr = htonl(address.toIPv4Address());
            length = sizeof(sockaddr_in);
        } else if (address.protocol() == QAbstractSocket::IPv6Protocol) {
            auto* v6 = reinterpret_cast<sockaddr_in6*>(&storage);
            v6->sin6_family = AF_INET6;
            v6->sin6_port = htons(port);
            const Q_IPV6ADDR bytes = address.toIPv6Address();
            std::memcpy(&v6->sin6_addr, &bytes, sizeof bytes);
            v6->sin6_scope_id = scopeIndex(address.scopeId());
            length = sizeof(sockaddr_in6);
        }
    }
    int family() const { return storage.ss_family; }
    const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&storage); }

private:
    // A link-local address names its interface by number or by name ("fe80::1%2", "fe80::1%eth0").
    static std::uint32_t scopeIndex(const QString& scope) {
        if (scope.isEmpty())
            return 0;
        bool number = false;
        const uint index = scope.toUInt(&number);
        return number ? index : ::if_nametoindex(scope.toLocal8Bit().constData());
    }
};

} // namespace

QtProbeSocket::QtProbeSocket(QObject* parent)
    : QObject(parent), writable_(QSocketNotifier::Write), readable_(QSocketNotifier::Read) {
    writable_.setEnabled(false);
    readable_.setEnabled(false);
    connect(&writable_, &QSocketNotifier::activated, this, &QtProbeSocket::onWritable);
    connect(&readable_, &QSocketNotifier::activated, this, &QtProbeSocket::onReadable);
}

QtProbeSocket::~QtProbeSocket() {
    close();
}

void QtProbeSocket::connectTo(const std::string& host, std::int32_t port) {
    close();
    ++attempt_;
    answer_ = {};
    if (port < kLowestPort || port > kHighestPort) {
        // The engine never asks for such a port; should anyone, the attempt fails like a refused one.
        answer_.errorNumber = EINVAL;
        moveTo(Error);
        return;
    }
    port_ = static_cast<quint16>(port);
    const QString name = QString::fromStdString(host);
    QHostAddress literal;
    if (literal.setAddress(name)) {
        addresses_ = {literal};
        connectToNextAddress();
        return;
    }
    moveTo(ResolvingHost);
    lookupId_ = QHostInfo::lookupHost(name, this, &QtProbeSocket::onLookedUp);
}

void QtProbeSocket::close() {
    ++attempt_;
    if (lookupId_ != -1)
        QHostInfo::abortHostLookup(lookupId_);
    lookupId_ = -1;
    closeDescriptor();
    addresses_.clear();
    // Closing is the engine's own doing and is not reported back to it.
    state_ = Closed;
    lastNotified_ = Closed;
}

void QtProbeSocket::onLookedUp(const QHostInfo& info) {
    if (info.lookupId() != lookupId_)
        return;
    lookupId_ = -1;
    addresses_ = info.addresses();
    answer_.nameNotFound = info.error() == QHostInfo::HostNotFound || addresses_.isEmpty();
    connectToNextAddress();
}

void QtProbeSocket::connectToNextAddress() {
    while (!addresses_.isEmpty()) {
        const SocketAddress address(addresses_.takeFirst(), port_);
        if (address.length == 0)
            continue;
        descriptor_ = ::socket(address.family(), SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
        if (descriptor_ < 0) {
            answer_.errorNumber = errno;
            continue;
        }
        connectCalled_ = std::chrono::steady_clock::now();
        if (::connect(descriptor_, address.get(), address.length) == 0) {
            // Done at once; the connection is watched like one that took its time.
            onWritable();
            return;
        }
        if (errno == EINPROGRESS || errno == EINTR) {
            writable_.setSocket(descriptor_);
            writable_.setEnabled(true);
            moveTo(Connecting);
            return;
        }
        answer_.errorNumber = errno;
        noteConnectTime();
        closeDescriptor();
    }
    moveTo(Error);
}

void QtProbeSocket::onWritable() {
    writable_.setEnabled(false);
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(descriptor_, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        error = errno;
    noteConnectTime();
    answer_.errorNumber = error == ECONNRESET || error == EPIPE ? 0 : error;
    if (error == ECONNRESET || error == EPIPE) {
        // The target took the connection and reset it before the probe looked: the handshake completed.
        addresses_.clear();
        moveTo(Connected);
        return;
    }
    if (error != 0) {
        closeDescriptor();
        connectToNextAddress();
        return;
    }
    addresses_.clear();
    taken_ = 0;
    readable_.setSocket(descriptor_);
    readable_.setEnabled(true);
    moveTo(Connected);
}

void QtProbeSocket::onReadable() {
    char dropped[1024];
    const auto wanted = static_cast<size_t>(std::min<qint64>(sizeof dropped, kTakenBytes - taken_));
    const ssize_t got = ::recv(descriptor_, dropped, wanted, MSG_DONTWAIT);
    if (got > 0) {
        taken_ += got;
        if (taken_ >= kTakenBytes)
            readable_.setEnabled(false);
        return;
    }
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return;
    // The target closed or reset the connection after it took it; the probe still counts it as made.
    readable_.setEnabled(false);
}

void QtProbeSocket::noteConnectTime() {
    const auto taken = std::chrono::steady_clock::now() - connectCalled_;
    answer_.connectMs = static_cast<int>(std::min<std::chrono::milliseconds::rep>(
        std::chrono::duration_cast<std::chrono::milliseconds>(taken).count(), std::numeric_limits<int>::max()));
}

void QtProbeSocket::closeDescriptor() {
    // The event loop must stop watching a descriptor before it is closed and its number reused.
    writable_.setEnabled(false);
    readable_.setEnabled(false);
    if (descriptor_ >= 0)
        ::close(descriptor_);
    descriptor_ = -1;
}

void QtProbeSocket::moveTo(State state) {
    if (state == state_)
        return;
    state_ = state;
    notifyLater();
}

void QtProbeSocket::notifyLater() {
    QMetaObject::invokeMethod(
        this,
        [this, attempt = attempt_] {
            if (attempt != attempt_ || programEnded())
                return;
            if (state_ == lastNotified_)
                return;
            lastNotified_ = state_;
            stateChanged();
        },
        Qt::QueuedConnection);
}

} // namespace wardel::qt
