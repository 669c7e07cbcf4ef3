#pragma once

#include <chrono>

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QSocketNotifier>

#include "platform/probe_socket.h"

class QHostInfo;

namespace wardel::qt {

// The probe socket sckHotMon: one plain non-blocking TCP connect per probe, watched by the event loop, its
// progress shown in the socket states the check cycle reads: closed 0, resolving host 4, connecting 6,
// connected 7, error 9.
//
// - An IP address is connected to at once; a name is looked up first (4), and its addresses are tried one
//   after another, each once, until one connects.
// - An attempt that fails before it connects (refused, host not found, unreachable, the system giving up on
//   a target that never answers) shows 9 until close().
// - A connection that was made shows connected 7 until close(), even when the target has closed or reset it
//   since, and even when the reset came before the probe looked: the handshake completed, so the target
//   answered, as other TCP checks count it. What a target sends is taken up to 4 KiB and dropped; after
//   that it is left unread, so TCP flow control stops a target that streams.
// - 1, 2, 3, 5 and 8 never show.
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
    Answer answer() const override { return answer_; }

private:
    void onLookedUp(const QHostInfo& info);
    // Connects to the next address left, or fails when none is.
    void connectToNextAddress();
    void onWritable();
    void onReadable();
    void closeDescriptor();
    // The time since the latest ::connect, as the answer's connect time.
    void noteConnectTime();
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
    Answer answer_;
    std::chrono::steady_clock::time_point connectCalled_; // the latest ::connect, for the connect time
};

} // namespace wardel::qt
