#pragma once

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QSocketNotifier>

#include "platform/probe_socket.h"

class QHostInfo;

namespace wardel::qt {

// The probe socket: one plain non-blocking TCP connect per probe, watched by the event loop, its states
// given in the numbers the check cycle reads: closed 0, resolving host 4, connecting 6, connected 7,
// closing 8.
//
// - An IP address is connected to at once; a name is looked up first (4), and its addresses are tried one
//   after another, each once, until one connects.
// - An attempt that fails before it connects (refused, host not found, unreachable, the system giving up on
//   a target that never answers) shows 9 until close().
// - After a connection was made, a peer that closes or resets it shows closing 8 until close(). What a
//   target sends is taken up to 4 KiB and dropped; after that it is left unread, so TCP flow control stops
//   a target that streams.
// - 1, 2, 3 and 5 never show.
//
// Qt's own TCP socket is not used: it tries every address twice, so a refused probe would knock twice.
//
// State changes reach the engine from the event loop, never from inside connectTo() or close().
class QtProbeSocket : public QObject, public ProbeSocket {
public:
    explicit QtProbeSocket(QObject* parent = nullptr);
    ~QtProbeSocket() override;
    QtProbeSocket(const QtProbeSocket&) = delete;
    QtProbeSocket& operator=(const QtProbeSocket&) = delete;

    void connectTo(const std::string& host, std::int32_t port) override;
    void close() override;
    int state() const override { return state_; }

private:
    void onLookedUp(const QHostInfo& info);
    // Connects to the next address left, or fails when none is.
    void connectToNextAddress();
    void onWritable();
    void onReadable();
    void closeDescriptor();
    void moveTo(State state);
    // Asks the event loop to tell the engine, unless the socket is closed or reused before then.
    void notifyLater();

    QSocketNotifier writable_;
    QSocketNotifier readable_;
    int descriptor_ = -1;
    int lookupId_ = -1;
    quint16 port_ = 0;
    QList<QHostAddress> addresses_; // still to try, in order
    qint64 taken_ = 0;              // bytes the connected target sent and the probe dropped
    State state_ = Closed;
    quint64 attempt_ = 0; // counts connectTo and close calls: notices of an earlier one are dropped
    int lastNotified_ = Closed;
};

} // namespace wardel::qt
