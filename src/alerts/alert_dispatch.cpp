#include "alerts/alert_dispatch.h"

#include <limits>

#include "common/numbers.h"

namespace wardel {

AlertDispatch::AlertDispatch(const AppSettings& settings, RuntimeValues& runtime, GatewayClient& gateway, EventLog& log)
    : settings_(settings), runtime_(runtime), gateway_(gateway), log_(log) {}

void AlertDispatch::SendAlert(const Alert& alert) {
    if (settings_.alertEnabled != 1)
        return;
    std::string text = alert.message;
    SendSmsAlert(settings_.smsPhone, text);
}

void AlertDispatch::SendSmsAlert(const std::string& recipients, std::string& message) {
    if (!gateway_.smsCreditLeft())
        return;
    // The cap is read as a real number: "2.5" lets a third SMS out while two have gone.
    const double cap = leadingNumber(settings_.maxSms);
    auto& sent = runtime_.smsSentToday;
    if (!(cap > sent)) {
        sendMailFallback(message);
        return;
    }
    if (sent < std::numeric_limits<std::int16_t>::max())
        ++sent;
    if (cap == sent)
        message += " Today SMS:" + std::to_string(sent) + "/" + settings_.maxSms;
    gateway_.sendAlertSms(recipients, message);
}

void AlertDispatch::sendMailFallback(const std::string& message) {
    log_.WriteLog("No SMS send ..up to the limit " + settings_.maxSms + " a day");
    if (trim(settings_.mailList).empty())
        return;
    gateway_.sendMailAlert(settings_.mailList, message);
}

} // namespace wardel
