#include "monitor/finished_probe.h"

#include <cerrno>

namespace wardel {

FinishedProbe::Reason failureReason(FinishedProbe::Outcome outcome, const ProbeSocket::Answer& answer) {
    using Reason = FinishedProbe::Reason;
    if (outcome == FinishedProbe::Outcome::Alive)
        return Reason::None;
    if (outcome == FinishedProbe::Outcome::Timeout)
        return Reason::TimedOut;
    if (answer.nameNotFound)
        return Reason::NameNotFound;
    switch (answer.errorNumber) {
    case ECONNREFUSED:
        return Reason::Refused;
    case EHOSTUNREACH:
    case EHOSTDOWN:
        return Reason::HostUnreachable;
    case ENETUNREACH:
    case ENETDOWN:
        return Reason::NetworkUnreachable;
    case ETIMEDOUT:
        return Reason::TimedOut;
    case ECONNRESET:
        return Reason::Reset;
    default:
        return Reason::Other;
    }
}

std::string reasonText(FinishedProbe::Reason reason, int errorNumber) {
    using Reason = FinishedProbe::Reason;
    switch (reason) {
    case Reason::None:
        return "";
    case Reason::Refused:
        return "refused";
    case Reason::HostUnreachable:
        return "host unreachable";
    case Reason::NetworkUnreachable:
        return "network unreachable";
    case Reason::NameNotFound:
        return "name not found";
    case Reason::TimedOut:
        return "timed out";
    case Reason::Reset:
        return "reset";
    case Reason::Other:
        break;
    }
    return "error " + std::to_string(errorNumber);
}

} // namespace wardel
