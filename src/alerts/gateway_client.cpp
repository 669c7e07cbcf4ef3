#include "alerts/gateway_client.h"

#include <limits>

#include "alerts/sms_text.h"
#include "alerts/url_encoding.h"
#include "common/numbers.h"
#include "common/time_format.h"

namespace wardel {
namespace {

std::string replaceCrLf(const std::string& text, std::string_view with) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += with;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool containsHttp(const std::string& text) {
    for (std::size_t i = 0; i + 4 <= text.size(); ++i) {
        const auto lower = [&](std::size_t k) { return static_cast<char>(text[i + k] | 0x20); };
        if (lower(0) == 'h' && lower(1) == 't' && lower(2) == 't' && lower(3) == 'p')
            return true;
    }
    return false;
}

// A number as the gateway writes a count: a sign, digits, and a decimal point with more digits.
bool isCount(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9')
            digits = true;
        else if (text[i] == '.' && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

// Tag kinds of the requests on the two readers.
constexpr std::string_view kLogonTag = "logon1";
constexpr std::string_view kSmsKind = "sendsms";
constexpr std::string_view kAliveSmsKind = "sendsms1";
constexpr std::string_view kMailKind = "sendmail1";
constexpr std::string_view kCreditKind = "getcredit";

} // namespace

GatewayClient::GatewayClient(const Clock& clock, GatewayReaders readers, const AppSettings& settings,
                             const RuntimeValues& runtime, EventLog& log, MessageBox& messages,
                             GatewayObserver& observer)
    : clock_(clock), settings_(settings), runtime_(runtime), log_(log), messages_(messages), observer_(observer),
      asyncRead1_(readers.main), asyncRead2_(readers.credit) {
    asyncRead1_.setAsyncReadComplete([this](const FetchResult& result) { OnMainReply(result); });
    asyncRead2_.setAsyncReadComplete([this](const FetchResult& result) { OnCreditReply(result); });
}

std::string GatewayClient::nowText() const {
    return formatDateTime(clock_.now());
}

GatewayClient::LogonAccount GatewayClient::account() const {
    return {std::string(trim(settings_.smsEmail)), std::string(trim(settings_.smsPassword))};
}

void GatewayClient::GatewayLogon() {
    observer_.showMainWindow();
    const LogonAccount account =
        logonAccount_ ? logonAccount_() : LogonAccount{settings_.smsEmail, settings_.smsPassword};
    const std::string email(trim(account.email));
    const std::string password(trim(account.password));
    if (email.empty() || password.empty()) {
        observer_.showAccountState("Email OR Password is Empty !! Click HERE to set up");
        return;
    }
    observer_.showAccountState("Connecting to Textora , Please wait ....");
    const std::string url = gatewayBase_ + "/txgate/php/sms_logon.php?email=" + encodeQueryValue(email) +
                            "&pwd=" + encodeQueryValue(password) + "&now=" + encodeQueryValue(nowText());
    asyncRead1_.setPropName(std::string(kLogonTag));
    asyncRead1_.setDataFromURL(url);
}

bool GatewayClient::smsCreditLeft() {
    if (smsCredits(state_.creditText) > 0)
        return true;
    log_.WriteLog("No SMS Credits !!");
    return false;
}

void GatewayClient::sendAlertSms(const std::string& recipients, std::string& text) {
    keepFirstCharacters(text, kSmsCharacters);
    const LogonAccount a = account();
    const bool sent =
        issueRequest(asyncRead1_, kSmsKind,
                     BuildSmsUrl(0, a.email, a.password, state_.gatewayApiId, kSenderNumber, recipients, text));
    logSms(sent, text);
}

void GatewayClient::logSms(bool sent, const std::string& text) {
    log_.WriteLog((sent ? "Send SMS message [" : "Send SMS message Error [") + text + "]");
}

void GatewayClient::sendMailAlert(const std::string& recipients, const std::string& text, TextPart shortened) {
    const LogonAccount a = account();
    const std::size_t fixed = BuildMailAlertUrl(a.email, a.password, recipients, "").size();
    const std::size_t room = fixed < kMaxMailUrlBytes ? kMaxMailUrlBytes - fixed : 0;
    std::string fitting = cutToEncodedSize(text, room);
    if (fitting != text && shortened.at <= text.size()) {
        // What stands around the description keeps its place; the description gives the room it takes.
        const std::string_view whole(text);
        const std::string_view head = whole.substr(0, shortened.at);
        const std::string_view part = whole.substr(shortened.at, shortened.length);
        const std::string_view tail = whole.substr(shortened.at + part.size());
        const std::size_t around = encodeQueryValue(head).size() + encodeQueryValue(tail).size();
        fitting = std::string(head) + cutToEncodedSize(part, around < room ? room - around : 0) + std::string(tail);
        fitting = cutToEncodedSize(fitting, room);
    }
    // The mail travels under the SMS tag kind, so its reply is answered with a credit query like an SMS's.
    const bool sent = issueRequest(asyncRead1_, kSmsKind, BuildMailAlertUrl(a.email, a.password, recipients, fitting));
    log_.WriteLog((sent ? "Mail Alert Send to " : "Mail Alert Send Error to ") + recipients);
}

void GatewayClient::SendAliveSms(const std::string& recipients, std::string& text) {
    if (!smsCreditLeft())
        return;
    keepFirstCharacters(text, kSmsCharacters);
    const LogonAccount a = account();
    const bool sent =
        issueRequest(asyncRead1_, kAliveSmsKind,
                     BuildAliveSmsUrl(0, a.email, a.password, state_.gatewayApiId, kSenderNumber, recipients, text));
    logSms(sent, text);
}

std::string GatewayClient::smsUrl(std::int16_t unicode, const std::string& email, const std::string& password,
                                  const std::string& apiId, std::string_view sender, const std::string& recipients,
                                  const std::string& text) const {
    return gatewayBase_ + "/txgate/php/smstoolsen.php?api_id=" + encodeQueryValue(apiId) +
           "&email=" + encodeQueryValue(email) + "&pwd=" + encodeQueryValue(password) +
           "&to=" + encodeRecipientNumbers(recipients) + "&from=" + encodeQueryValue(sender) +
           "&unicode=" + std::to_string(unicode) + "&text=" + encodeQueryValue(text);
}

std::string GatewayClient::BuildSmsUrl(std::int16_t unicode, const std::string& email, const std::string& password,
                                       const std::string& apiId, std::string_view sender, const std::string& recipients,
                                       const std::string& text) {
    state_.lastRequestWasMail = false;
    std::string url = smsUrl(unicode, email, password, apiId, sender, recipients, text);
    if (runtime_.mailListWithSms == 1)
        url += "&email_list=" + encodeQueryValue(settings_.mailList);
    return url;
}

std::string GatewayClient::BuildAliveSmsUrl(std::int16_t unicode, const std::string& email, const std::string& password,
                                            const std::string& apiId, std::string_view sender,
                                            const std::string& recipients, const std::string& text) {
    state_.lastRequestWasMail = false;
    return smsUrl(unicode, email, password, apiId, sender, recipients, text);
}

std::string GatewayClient::BuildMailAlertUrl(const std::string& email, const std::string& password,
                                             const std::string& recipients, const std::string& text) const {
    return gatewayBase_ + "/txgate/php/mail_alert.php?email=" + encodeQueryValue(email) +
           "&pwd=" + encodeQueryValue(password) + "&email_list=" + encodeQueryValue(recipients) +
           "&text=" + encodeQueryValue(text);
}

void GatewayClient::SendGatewayMail(const std::string& recipients, std::string& text, const std::string& subject) {
    state_.lastRequestWasMail = true;
    text = replaceCrLf(text, "<br>");
    issueRequest(asyncRead1_, kMailKind, gatewayMailUrl(recipients, text, subject));
}

std::string GatewayClient::gatewayMailUrl(const std::string& recipients, const std::string& text,
                                          const std::string& subject) const {
    const LogonAccount a = account();
    return gatewayBase_ + "/txgate/php/mail_alert1.php?email=" + encodeQueryValue(a.email) +
           "&pwd=" + encodeQueryValue(a.password) + "&email_list=" + encodeQueryValue(recipients) +
           "&subject=" + encodeQueryValue(subject) + "&text=" + encodeQueryValue(text);
}

std::size_t GatewayClient::gatewayMailTextLength(std::string_view text) {
    return encodeQueryValue(replaceCrLf(std::string(text), "<br>")).size();
}

bool GatewayClient::issueRequest(AsyncRead& reader, std::string_view kind, const std::string& url) {
    // Two thousand million requests do not happen in one run; should they, the tags keep the last number
    // rather than wrap to negative ones.
    if (state_.requestSeq < std::numeric_limits<std::int32_t>::max())
        ++state_.requestSeq;
    reader.setPropName(std::to_string(state_.requestSeq) + std::string(kind));
    return reader.setDataFromURL(url);
}

void GatewayClient::issueCreditQuery() {
    const std::string url = gatewayBase_ + "/txgate/php/creditupdate.php?email=" + encodeQueryValue(account().email) +
                            "&now=" + encodeQueryValue(nowText());
    issueRequest(asyncRead2_, kCreditKind, url);
}

void GatewayClient::setCreditText(std::string text) {
    state_.creditText = std::move(text);
    observer_.showCredit(state_.creditText);
}

bool parseLogonReply(const std::string& reply, LogonReply& parsed) {
    const std::size_t star1 = reply.find('*');
    if (star1 == std::string::npos)
        return false;
    const std::size_t star2 = reply.find('*', star1 + 1);
    if (star2 == std::string::npos)
        return false;
    const std::string rest = star2 + 3 < reply.size() ? reply.substr(star2 + 3) : std::string();
    const std::size_t percent = rest.find('%');
    if (percent == std::string::npos)
        return false;
    parsed.creditText = reply.substr(star1 + 1, star2 - star1 - 1);
    parsed.apiId = rest.substr(0, percent);
    return true;
}

void GatewayClient::OnMainReply(const FetchResult& result) {
    const std::string reply = asyncRead1_.DataFromURL();
    if (result.name != kLogonTag) {
        // A reply to an SMS, mail alert or gateway mail; its text is not examined.
        if (!state_.lastRequestWasMail)
            issueCreditQuery();
        state_.lastRequestWasMail = false;
        return;
    }
    if (!result.ok) {
        // A failed download: whatever the reader still holds (the logon URL, or the reply of another read
        // that ended in between) is no logon reply. The logon fails as an unreadable reply would.
        state_.gatewayLoggedIn = true;
        logonFailed();
        return;
    }
    if (!reply.empty() && reply.front() == '-') {
        state_.gatewayLoggedIn = false;
        observer_.showAccountState("Email OR Password Error for sending SMS !!");
        setCreditText("0");
        observer_.setCreditVisible(false);
        state_.lastRequestWasMail = false;
        return;
    }
    state_.gatewayLoggedIn = true;
    LogonReply parsed;
    if (!parseLogonReply(reply, parsed)) {
        logonFailed();
        return;
    }
    state_.gatewayApiId = parsed.apiId;
    observer_.setCreditVisible(true);
    setCreditText(parsed.creditText);
    observer_.showAccountState("SMS Account : " + settings_.smsEmail);
    state_.setupLinkActive = false;
    state_.lastRequestWasMail = false;
}

void GatewayClient::logonFailed() {
    observer_.showAccountState("Textora Logon Error !! ");
    messages_.show("Connecting Error or Timeout !! Please check your network or try again", [this] {
        state_.lastRequestWasMail = false;
        observer_.unloadMainWindow();
    });
}

void GatewayClient::OnCreditReply(const FetchResult&) {
    if (auto credit = creditFromReply(asyncRead2_.DataFromURL()))
        setCreditText(std::move(*credit));
}

std::optional<std::string> creditFromReply(const std::string& reply) {
    // A failed credit query still holds its URL, which contains "http": the shown credit stays. So does a
    // reply that is no count at all (empty, NUL bytes, a notice): taken as the credit it would read as 0
    // and stop every SMS until the next logon.
    if (containsHttp(reply))
        return std::nullopt;
    const std::string_view credit = trim(reply);
    if (!isCount(credit))
        return std::nullopt;
    return std::string(credit);
}

} // namespace wardel
