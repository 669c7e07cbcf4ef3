#pragma once

#include <QByteArray>
#include <QTcpServer>
#include <QTcpSocket>
#include <map>
#include <vector>

namespace wardel::test {

// A loopback HTTP peer that answers every request with an empty 200 and keeps each request's body.
class HttpPostCollector {
public:
    HttpPostCollector() {
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* peer = server_.nextPendingConnection())
                QObject::connect(peer, &QTcpSocket::readyRead, [this, peer] { read(peer); });
        });
    }
    bool listen(quint16 port = 0) { return server_.listen(QHostAddress::LocalHost, port); }
    void close() { server_.close(); }
    quint16 port() const { return server_.serverPort(); }
    std::vector<QByteArray> bodies;

private:
    void read(QTcpSocket* peer) {
        QByteArray& buffer = buffers_[peer];
        buffer += peer->readAll();
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        const qsizetype at = buffer.toLower().indexOf("content-length:");
        const qsizetype length = at < 0 ? 0 : buffer.mid(at + 15).split('\r')[0].trimmed().toInt();
        if (end < 0 || buffer.size() < end + 4 + length)
            return;
        bodies.push_back(buffer.mid(end + 4, length));
        buffers_.erase(peer);
        peer->write("HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        peer->disconnectFromHost();
    }
    QTcpServer server_;
    std::map<QTcpSocket*, QByteArray> buffers_;
};

} // namespace wardel::test
