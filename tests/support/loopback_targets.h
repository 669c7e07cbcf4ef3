#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <limits>
#include <vector>

namespace wardel::test {

// Probe targets on the loopback interface only.

// A port that accepts connections (on every loopback address, IPv4 and IPv6).
class OpenTarget {
public:
    OpenTarget() { server_.listen(QHostAddress::Any); }
    quint16 port() const { return server_.serverPort(); }

private:
    QTcpServer server_;
};

// A port nobody listens on: connections are refused.
inline quint16 refusingPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

// A listener that never answers: backlog 0 and its one queue place taken by a connection nobody accepts,
// so the kernel drops every further SYN and a connect to it stays pending.
class SilentTarget {
public:
    SilentTarget() {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(listener_, asSockaddr(address), length) != 0 || ::listen(listener_, 0) != 0 ||
            ::getsockname(listener_, asSockaddr(address), &length) != 0)
            return;
        port_ = ntohs(address.sin_port);
        for (int filler = 0; filler < 2; ++filler) {
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            (void)::connect(fd, asSockaddr(address), sizeof address);
            fillers_.push_back(fd);
        }
    }
    ~SilentTarget() {
        for (const int fd : fillers_)
            ::close(fd);
        ::close(listener_);
    }
    SilentTarget(const SilentTarget&) = delete;
    SilentTarget& operator=(const SilentTarget&) = delete;
    quint16 port() const { return port_; }

private:
    static sockaddr* asSockaddr(sockaddr_in& address) { return reinterpret_cast<sockaddr*>(&address); }

    int listener_ = -1;
    quint16 port_ = 0;
    std::vector<int> fillers_;
};

// A port that streams bytes at whoever connects, as fast as the peer takes them, until `cap` bytes have
// gone out over all its connections together.
class FloodingTarget {
public:
    explicit FloodingTarget(qint64 cap = std::numeric_limits<qint64>::max()) : cap_(cap) {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* peer = server_.nextPendingConnection()) {
                QObject::connect(peer, &QTcpSocket::bytesWritten, peer, [this, peer](qint64 bytes) {
                    sent_ += bytes;
                    pour(peer);
                });
                QObject::connect(peer, &QTcpSocket::disconnected, peer, &QObject::deleteLater);
                pour(peer);
            }
        });
    }
    quint16 port() const { return server_.serverPort(); }
    // Bytes the system took from the target so far.
    qint64 sent() const { return sent_; }

private:
    // Keeps a little queued in the target itself, so what it holds stays small too.
    void pour(QTcpSocket* peer) {
        static const QByteArray chunk(64 * 1024, 'x');
        while (peer->bytesToWrite() < 2 * chunk.size() && sent_ + peer->bytesToWrite() < cap_)
            peer->write(chunk);
    }

    QTcpServer server_;
    qint64 cap_;
    qint64 sent_ = 0;
};

// A port that accepts every connection and closes it at once (FIN), as a service that has nothing to say.
class ClosingTarget {
public:
    ClosingTarget() {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* peer = server_.nextPendingConnection()) {
                peer->close();
                peer->deleteLater();
            }
        });
    }
    quint16 port() const { return server_.serverPort(); }

private:
    QTcpServer server_;
};

// A port that accepts every connection and resets it (RST), at once or `afterMs` later.
class ResettingTarget {
public:
    explicit ResettingTarget(int afterMs = 0) {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this, afterMs] {
            while (QTcpSocket* peer = server_.nextPendingConnection())
                QTimer::singleShot(afterMs, peer, [peer] {
                    const linger abortive{1, 0};
                    ::setsockopt(static_cast<int>(peer->socketDescriptor()), SOL_SOCKET, SO_LINGER, &abortive,
                                 sizeof abortive);
                    peer->abort();
                    peer->deleteLater();
                });
        });
    }
    quint16 port() const { return server_.serverPort(); }

private:
    QTcpServer server_;
};

// Serves the event loop until `done` holds or `ms` have passed; true when it holds (tests only).
inline bool serveUntil(const std::function<bool()>& done, int ms) {
    const QDeadlineTimer deadline(ms);
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (done() || deadline.hasExpired())
            loop.quit();
    });
    look.start(10);
    if (!done())
        loop.exec();
    return done();
}

} // namespace wardel::test
