#pragma once

#include <string>

#include "alerts/alert_sink.h"
#include "alerts/gateway_client.h"
#include "log/event_log.h"
#include "settings/app_settings.h"

namespace wardel {

// Alert delivery: every alert the engine reports goes to the SMS recipients as one SMS, while the account
// has credit and the day's cap is not reached; past the cap it goes to the mail alert list as a gateway
// mail. The cap counts SMS requests issued since midnight (smsSentToday), not SMS delivered: the gateway's
// answer is not looked at here. Every outcome leaves a line in the event log.
class AlertDispatch : public AlertSink {
public:
    AlertDispatch(const AppSettings& settings, RuntimeValues& runtime, GatewayClient& gateway, EventLog& log);

    // Delivers a copy of the text while gateway alerts are switched on; the kind plays no part, and the
    // description is what a mail too long for its request gives up first.
    void SendAlert(const Alert& alert) override;

    // One alert to the recipients. The SMS gets the day's last-SMS suffix and the SMS length limit; the mail
    // fallback sends the message as received, within a mail request's size.
    void SendSmsAlert(const std::string& recipients, const std::string& message, TextPart description = {});

private:
    void sendMailFallback(const std::string& message, TextPart description);

    const AppSettings& settings_;
    RuntimeValues& runtime_;
    GatewayClient& gateway_;
    EventLog& log_;
};

} // namespace wardel
