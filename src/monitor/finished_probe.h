#pragma once

#include <string>

#include "common/local_date_time.h"
#include "platform/probe_socket.h"

namespace wardel {

// One probe as it ended, for the probe history: what the row's status turned to and why.
struct FinishedProbe {
    enum class Outcome { Alive = 0, Down = 1, Timeout = 2 };
    // Why a probe failed; stored by number, so the numbers never change.
    enum class Reason {
        None = 0,
        Refused = 1,
        HostUnreachable = 2,
        NetworkUnreachable = 3,
        NameNotFound = 4,
        TimedOut = 5,
        Reset = 6,
        Other = 7, // with its error number
    };

    std::string host; // trimmed, as the history keys the target
    std::string port;
    LocalDateTime at;
    Outcome outcome = Outcome::Alive;
    Reason reason = Reason::None;
    int errorNumber = 0;
    int connectMs = -1;       // -1 when the socket did not answer
    bool alertRaised = false; // this probe raised the row's alert
};

// The failure reason of an outcome from the socket's answer.
FinishedProbe::Reason failureReason(FinishedProbe::Outcome outcome, const ProbeSocket::Answer& answer);
// "refused", "host unreachable", …, "error 71": the reason as the operator reads it.
std::string reasonText(FinishedProbe::Reason reason, int errorNumber);

} // namespace wardel
