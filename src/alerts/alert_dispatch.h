#pragma once

#include "alerts/alert_sink.h"

namespace wardel {

// Alert delivery by SMS within the credit and the daily cap. Until that is built, alerts are only logged
// (by the engine) and go no further.
class AlertDispatch : public AlertSink {
public:
    void SendAlert(const std::string&, const std::string&, const std::string&) override {}
};

}  // namespace wardel
