#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "common/subscription.h"

namespace wardel {

// The one TCP client socket every probe uses, sckHotMon. Its states, as the check cycle reads them:
// 0 closed, 1 open, 2 listening, 3 connection pending, 4 resolving host, 5 host resolved,
// 6 connecting, 7 connected, 8 closing, 9 error (until close).
class ProbeSocket {
public:
    enum State : int {
        Closed = 0,
        Open = 1,
        Listening = 2,
        ConnectionPending = 3,
        ResolvingHost = 4,
        HostResolved = 5,
        Connecting = 6,
        Connected = 7,
        Closing = 8,
        Error = 9,
    };

    virtual ~ProbeSocket() = default;
    // Starts an asynchronous connection attempt and returns at once.
    virtual void connectTo(const std::string& host, std::int32_t port) = 0;
    // Ends any attempt or connection; afterwards the state is 0, without a state-change notification.
    virtual void close() = 0;
    virtual int state() const = 0;

    // How the latest attempt answered, for the probe history.
    struct Answer {
        int connectMs = -1;        // from the connect call to the socket's answer, on the monotonic clock; -1 none
        int errorNumber = 0;       // the system's error of an attempt that failed; 0 otherwise
        bool nameNotFound = false; // the host name could not be looked up
    };
    // Valid once the state has left the progress states; a socket that cannot tell answers nothing.
    virtual Answer answer() const { return {}; }
    // Called from the event loop whenever the state changes by itself; one observer at a time.
    Subscription subscribeStateChanged(std::function<void()> handler) {
        return stateChanged_.subscribe(std::move(handler));
    }

protected:
    void stateChanged() { stateChanged_.notify(); }

private:
    SingleObserver<> stateChanged_;
};

} // namespace wardel
