#pragma once

#include <QObject>
#include <QTcpSocket>

#include "platform/probe_socket.h"

namespace wardel::qt {

// The probe socket on QTcpSocket, its states shown in the classic socket control's values:
// unconnected 0, host lookup 4, connecting 6, connected 7, closing 8, listening 2. An attempt that fails
// before it connects (refused, host not found, unreachable, Qt's own connect timeout) shows 9 until
// close(); Qt itself is back in its unconnected state by then, which would otherwise read as "closed".
// Qt never reports a resolved host separately (lookup goes straight on to connecting), so 5 never shows;
// nor do 1 and 3. After a connection was made, a peer that closes it shows closing 8, then 0.
//
// State changes reach the engine from the event loop, after Qt has finished its own signal sequence: a
// refused connect emits "unconnected" and only then the error, and the engine must see both at once.
class QtProbeSocket : public QObject, public ProbeSocket {
    Q_OBJECT
public:
    explicit QtProbeSocket(QObject* parent = nullptr);

    void connectTo(const std::string& host, std::int32_t port) override;
    void close() override;
    int state() const override;

private:
    void onStateChanged(QAbstractSocket::SocketState state);
    void onErrorOccurred(QAbstractSocket::SocketError error);
    // Asks the event loop to tell the engine, unless the socket is closed or reused before then.
    void notifyLater();

    QTcpSocket socket_;
    bool attempting_ = false; // connectTo was called and close() was not
    bool connected_ = false;  // the attempt reached the connected state
    bool failed_ = false;     // the attempt failed before it connected
    quint64 attempt_ = 0;     // counts connectTo and close calls: notices of an earlier one are dropped
    int lastNotified_ = Closed;
};

} // namespace wardel::qt
