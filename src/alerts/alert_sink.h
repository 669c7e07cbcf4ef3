#pragma once

#include <string>

namespace wardel {

// The single door through which the monitoring engine hands an alert to the delivery side.
class AlertSink {
public:
    virtual ~AlertSink() = default;
    virtual void SendAlert(const std::string& message, const std::string& kind, const std::string& description) = 0;
};

} // namespace wardel
