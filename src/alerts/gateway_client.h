#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "alerts/async_read.h"
#include "build_config.h"
#include "log/event_log.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/url_fetcher.h"
#include "settings/app_settings.h"

namespace wardel {

// The gateway account state, held once for the whole program.
struct GatewayState {
    bool gatewayLoggedIn = false;
    std::string gatewayApiId;
    std::string creditText = "0"; // shown by Label7
    std::int32_t requestSeq = 0;  // starts the tag of every request but the logon
    bool lastRequestWasMail = false;
    bool setupLinkActive = true; // Label4 opens the settings dialog while set
};

// The credit count and API id an accepted logon reply carries.
struct LogonReply {
    std::string creditText;
    std::string apiId;
};

// The accepted logon reply: any text, "*", the credit count, "*", two characters that are skipped, the
// API id, "%", any text. False when either star or the percent sign after them is missing.
bool parseLogonReply(const std::string& reply, LogonReply& parsed);

// The credit a credit reply shows, blanks trimmed; nullopt when the shown credit stays: a reply that is not a
// number. A failed query is no reply at all and is never read.
std::optional<std::string> creditFromReply(const std::string& reply);

// What the account's state shows on the main window, and what a logon does to the window: the main
// window model implements it.
class GatewayObserver {
public:
    virtual ~GatewayObserver() = default;
    // A logon shows the main window.
    virtual void showMainWindow() = 0;
    // The account label Label4.
    virtual void showAccountState(const std::string& text) = 0;
    // The credit label Label7: its text, and whether it is shown at all.
    virtual void showCredit(const std::string& creditText) = 0;
    virtual void setCreditVisible(bool visible) = 0;
    // The end of the program after a logon reply that cannot be read.
    virtual void unloadMainWindow() = 0;
};

// A stretch of a text: its first byte and its length in bytes.
struct TextPart {
    std::size_t at = 0;
    std::size_t length = 0;
};

// The two URL readers the gateway is reached through.
struct GatewayReaders {
    UrlFetcher& main;   // AsyncRead1: the logon, every SMS and every mail
    UrlFetcher& credit; // AsyncRead2: the credit queries
};

// The program's side of the SMS and mail gateway, spoken to in intents: log on, send an alert SMS or its
// mail fallback, send the I-am-alive SMS or mail. Each intent picks its reader, builds its URL with the
// account of the settings (surrounding blanks removed), tags the request and writes its own log line; a new
// kind of request is one more intent here and nowhere else.
//
// Every exchange is one HTTP GET whose query string carries all parameters. A request is told apart from
// the others only by its tag: "logon1" for the logon, otherwise requestSeq (raised by one first) followed
// by the kind ("sendsms", "sendsms1", "sendmail1", "getcredit"). Every reply on AsyncRead1 other than the
// logon's is answered with a credit query, unless the last request built was a gateway mail; the credit
// reply updates the credit shown in Label7. A logon reply that cannot be read ends the program after its
// message box.
class GatewayClient {
public:
    static constexpr std::string_view kDefaultGatewayBase = WARDEL_GATEWAY_BASE;
    // The number every SMS is sent from.
    static constexpr std::string_view kSenderNumber = WARDEL_SENDER_NUMBER;
    // The longest request URL a mail may take: a gateway refuses longer ones, and past about a megabyte the
    // request cannot even be sent.
    static constexpr std::size_t kMaxMailUrlBytes = 8000;

    GatewayClient(const Clock& clock, GatewayReaders readers, const AppSettings& settings, const RuntimeValues& runtime,
                  EventLog& log, MessageBox& messages, GatewayObserver& observer);
    GatewayClient(const GatewayClient&) = delete;
    GatewayClient& operator=(const GatewayClient&) = delete;

    GatewayState& state() { return state_; }
    const GatewayState& state() const { return state_; }

    // The scheme, host and any port every request URL starts with; the build's value unless a test (or a
    // run against the gateway simulator) points the client elsewhere.
    const std::string& gatewayBase() const { return gatewayBase_; }
    void setGatewayBase(std::string base) { gatewayBase_ = std::move(base); }

    struct LogonAccount {
        std::string email;
        std::string password;
    };
    // Where the logon takes the account from (the settings dialog's fields); without it, the settings.
    void setLogonAccount(std::function<LogonAccount()> source) { logonAccount_ = std::move(source); }

    // Shows the main window and logs on with the account, surrounding blanks removed; no request without both
    // fields.
    void GatewayLogon();

    // Whether the shown credit lets an SMS out. Every intent below but the I-am-alive mail asks it itself
    // and, refused, logs "No SMS Credits !!" and returns nullopt. Each intent returns the text it put in its request;
    // a request that cannot go out is logged as an error, never as sent.
    bool hasSmsCredit() const;
    // One alert SMS, cut to one SMS, with the mail alert list appended when mailListWithSms is 1.
    std::optional<std::string> sendAlertSms(const std::string& recipients, const std::string& text);
    // An alert as a gateway mail to the recipients, once the day's SMS are spent. The request stays within
    // kMaxMailUrlBytes: a longer text loses the end of its `shortened` part (the alert's description) for
    // "…"; should that not be enough, the end of the whole text.
    std::optional<std::string> sendMailAlert(const std::string& recipients, const std::string& text,
                                             TextPart shortened = {});
    // The I-am-alive SMS, cut to one SMS.
    std::optional<std::string> sendAliveSms(const std::string& recipients, const std::string& text);
    // The I-am-alive mail, credit or not. Every CR LF of the text becomes "<br>"; the subject keeps its own.
    // It writes no log line.
    std::string sendAliveMail(const std::string& recipients, const std::string& text, const std::string& subject);

    // The bytes an I-am-alive mail's text may take in its request, within kMaxMailUrlBytes.
    std::size_t aliveMailTextRoom(const std::string& recipients, const std::string& subject) const;
    // The bytes a piece of mail text adds to that request: its CR LF pairs as "<br>", then encoded. Text
    // made of whole lines, each ended by CR LF, adds the sum of what its lines add.
    static std::size_t gatewayMailTextLength(std::string_view text);

    // The account as a new main window starts it: logged off, no request counted, no mail awaiting its reply,
    // the setup link active. The credit and the API id stay until a logon reply.
    void reset();

private:
    // What sets one intent's request apart; send() takes the steps they share.
    struct Intent {
        std::string_view kind; // of the tag
        bool needsCredit;
        // What lastRequestWasMail becomes: a gateway mail's reply asks for no credit. The mail alert leaves it.
        std::optional<bool> mail;
        // Its log line, sent or not; none when null.
        std::string (*logLine)(bool sent, const std::string& recipients, const std::string& text);
    };
    // An intent's request URL for the account and a text.
    using UrlOf = std::function<std::string(const LogonAccount&, const std::string& text)>;
    // The credit check, the account, the tagged request on AsyncRead1 and the log line of an intent whose
    // text is already cut to fit.
    std::optional<std::string> send(const Intent& intent, const UrlOf& url, const std::string& recipients,
                                    std::string text);
    // The bytes a text may take in the request, within kMaxMailUrlBytes.
    std::size_t textRoom(const UrlOf& url) const;

    LogonAccount account() const;
    std::string nowText() const;
    // The SMS request, never with the mail alert list.
    std::string smsUrl(const LogonAccount& a, const std::string& recipients, const std::string& text) const;
    // The SMS request with the mail alert list appended when mailListWithSms is 1.
    std::string alertSmsUrl(const LogonAccount& a, const std::string& recipients, const std::string& text) const;
    std::string mailAlertUrl(const LogonAccount& a, const std::string& recipients, const std::string& text) const;
    // The I-am-alive mail request for a text whose CR LF pairs are already "<br>".
    std::string aliveMailUrl(const LogonAccount& a, const std::string& recipients, const std::string& subject,
                             const std::string& text) const;
    // Raises requestSeq, tags the reader with it and the kind, and starts the read of the URL.
    // True when the request went out.
    bool issueRequest(AsyncRead& reader, std::string_view kind, const std::string& url);
    void issueCreditQuery();
    void setCreditText(std::string text);
    void logonFailed();

    // AsyncReadComplete of AsyncRead1 and AsyncRead2.
    void OnMainReply(const FetchResult& result);
    void OnCreditReply(const FetchResult& result);

    const Clock& clock_;
    const AppSettings& settings_;
    const RuntimeValues& runtime_;
    EventLog& log_;
    MessageBox& messages_;
    GatewayObserver& observer_;
    std::string gatewayBase_ = std::string(kDefaultGatewayBase);
    GatewayState state_;
    std::function<LogonAccount()> logonAccount_;
    AsyncRead asyncRead1_; // last, so no reply reaches a half-destroyed client
    AsyncRead asyncRead2_;
};

} // namespace wardel
