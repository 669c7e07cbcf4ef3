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

bool GatewayClient::hasSmsCredit() const {
    return smsCredits(state_.creditText) > 0;
}

void GatewayClient::reset() {
    state_.gatewayLoggedIn = false;
    state_.requestSeq = 0;
    state_.lastRequestWasMail = false;
    state_.setupLinkActive = true;
}

namespace {

std::string smsLogLine(bool sent, const std::string&, const std::string& text) {
    return (sent ? "Send SMS message [" : "Send SMS message Error [") + text + "]";
}

std::string mailAlertLogLine(bool sent, const std::string& recipients, const std::string&) {
    return (sent ? "Mail Alert Send to " : "Mail Alert Send Error to ") + recipients;
}

std::string cutToSms(std::string text) {
    keepFirstCharacters(text, kSmsCharacters);
    return text;
}

} // namespace

std::optional<std::string> GatewayClient::send(const Intent& intent, const UrlOf& url, const std::string& recipients,
                                               std::string text) {
    if (intent.needsCredit && !hasSmsCredit()) {
        log_.WriteLog("No SMS Credits !!");
        return std::nullopt;
    }
    if (intent.mail)
        state_.lastRequestWasMail = *intent.mail;
    const bool sent = issueRequest(asyncRead1_, intent.kind, url(account(), text));
    if (intent.logLine != nullptr)
        log_.WriteLog(intent.logLine(sent, recipients, text));
    return text;
}

std::size_t GatewayClient::textRoom(const UrlOf& url) const {
    const std::size_t fixed = url(account(), "").size();
    return fixed < kMaxMailUrlBytes ? kMaxMailUrlBytes - fixed : 0;
}

std::optional<std::string> GatewayClient::sendAlertSms(const std::string& recipients, const std::string& text) {
    const auto url = [&](const LogonAccount& a, const std::string& t) { return alertSmsUrl(a, recipients, t); };
    return send({.kind = kSmsKind, .needsCredit = true, .mail = false, .logLine = smsLogLine}, url, recipients,
                cutToSms(text));
}

std::optional<std::string> GatewayClient::sendAliveSms(const std::string& recipients, const std::string& text) {
    const auto url = [&](const LogonAccount& a, const std::string& t) { return smsUrl(a, recipients, t); };
    return send({.kind = kAliveSmsKind, .needsCredit = true, .mail = false, .logLine = smsLogLine}, url, recipients,
                cutToSms(text));
}

std::optional<std::string> GatewayClient::sendMailAlert(const std::string& recipients, const std::string& text,
                                                        TextPart shortened) {
    const UrlOf url = [&](const LogonAccount& a, const std::string& t) { return mailAlertUrl(a, recipients, t); };
    const std::size_t room = textRoom(url);
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
    return send({.kind = kSmsKind, .needsCredit = true, .mail = std::nullopt, .logLine = mailAlertLogLine}, url,
                recipients, std::move(fitting));
}

std::string GatewayClient::sendAliveMail(const std::string& recipients, const std::string& text,
                                         const std::string& subject) {
    const auto url = [&](const LogonAccount& a, const std::string& t) {
        return aliveMailUrl(a, recipients, subject, t);
    };
    return *send({.kind = kMailKind, .needsCredit = false, .mail = true, .logLine = nullptr}, url, recipients,
                 replaceCrLf(text, "<br>"));
}

std::size_t GatewayClient::aliveMailTextRoom(const std::string& recipients, const std::string& subject) const {
    return textRoom(
        [&](const LogonAccount& a, const std::string& t) { return aliveMailUrl(a, recipients, subject, t); });
}

std::string GatewayClient::smsUrl(const LogonAccount& a, const std::string& recipients, const std::string& text) const {
    return gatewayBase_ + "/txgate/php/smstoolsen.php?api_id=" + encodeQueryValue(state_.gatewayApiId) +
           "&email=" + encodeQueryValue(a.email) + "&pwd=" + encodeQueryValue(a.password) +
           "&to=" + encodeRecipientNumbers(recipients) + "&from=" + encodeQueryValue(kSenderNumber) +
           "&unicode=0&text=" + encodeQueryValue(text);
}

std::string GatewayClient::alertSmsUrl(const LogonAccount& a, const std::string& recipients,
                                       const std::string& text) const {
    std::string url = smsUrl(a, recipients, text);
    if (runtime_.mailListWithSms == 1)
        url += "&email_list=" + encodeQueryValue(settings_.mailList);
    return url;
}

std::string GatewayClient::mailAlertUrl(const LogonAccount& a, const std::string& recipients,
                                        const std::string& text) const {
    return gatewayBase_ + "/txgate/php/mail_alert.php?email=" + encodeQueryValue(a.email) +
           "&pwd=" + encodeQueryValue(a.password) + "&email_list=" + encodeQueryValue(recipients) +
           "&text=" + encodeQueryValue(text);
}

std::string GatewayClient::aliveMailUrl(const LogonAccount& a, const std::string& recipients,
                                        const std::string& subject, const std::string& text) const {
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

void GatewayClient::OnCreditReply(const FetchResult& result) {
    // A failed query leaves the reader holding its URL, no reply: the shown credit stays.
    if (!result.ok)
        return;
    if (auto credit = creditFromReply(asyncRead2_.DataFromURL()))
        setCreditText(std::move(*credit));
}

std::optional<std::string> creditFromReply(const std::string& reply) {
    // A reply that is no count at all (empty, NUL bytes, a notice) leaves the shown credit: taken as the
    // credit it would read as 0 and stop every SMS until the next logon.
    const std::string_view credit = trim(reply);
    if (!isCount(credit))
        return std::nullopt;
    return std::string(credit);
}

} // namespace wardel
