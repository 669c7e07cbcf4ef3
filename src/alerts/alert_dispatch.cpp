#include "alerts/alert_dispatch.h"

#include <limits>

#include "common/numbers.h"

namespace wardel {

AlertDispatch::AlertDispatch(const AppSettings& settings, RuntimeValues& runtime, GatewayClient& gateway, EventLog& log)
    : settings_(settings), runtime_(runtime), gateway_(gateway), log_(log) {}

namespace {

// Where the description stands in an alert's text: at its end, or before " Back to Alive". An empty part
// when it stands elsewhere.
TextPart descriptionIn(std::string_view message, std::string_view description) {
    for (const std::string_view after : {std::string_view(), std::string_view(" Back to Alive")}) {
        const std::size_t length = description.size() + after.size();
        if (message.size() >= length && message.substr(message.size() - length, description.size()) == description &&
            message.substr(message.size() - after.size()) == after)
            return {message.size() - length, description.size()};
    }
    return {};
}

} // namespace

void AlertDispatch::SendAlert(const Alert& alert) {
    if (settings_.alertEnabled != 1)
        return;
    SendSmsAlert(settings_.smsPhone, alert.message, descriptionIn(alert.message, alert.description));
}

void AlertDispatch::SendSmsAlert(const std::string& recipients, const std::string& message, TextPart description) {
    // The cap is read as a real number: "2.5" lets a third SMS out while two have gone.
    const double cap = leadingNumber(settings_.maxSms);
    auto& sent = runtime_.smsSentToday;
    // Past the cap the alert goes out as a mail while there is credit; without credit the SMS refuses it and
    // says so, past the cap too.
    if (!(cap > sent) && gateway_.hasSmsCredit()) {
        sendMailFallback(message, description);
        return;
    }
    const auto count = static_cast<std::int16_t>(sent < std::numeric_limits<std::int16_t>::max() ? sent + 1 : sent);
    const std::string suffix = cap == count ? " Today SMS:" + std::to_string(count) + "/" + settings_.maxSms : "";
    if (gateway_.sendAlertSms(recipients, message + suffix))
        sent = count;
}

void AlertDispatch::sendMailFallback(const std::string& message, TextPart description) {
    log_.WriteLog("No SMS send ..up to the limit " + settings_.maxSms + " a day");
    if (trim(settings_.mailList).empty())
        return;
    gateway_.sendMailAlert(settings_.mailList, message, description);
}

} // namespace wardel
