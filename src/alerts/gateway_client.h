#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "alerts/async_read.h"
#include "build_config.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/message_box.h"
#include "platform/url_fetcher.h"
#include "platform/window_port.h"
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

// The credit a credit reply shows, blanks trimmed; nullopt when the shown credit stays.
std::optional<std::string> creditFromReply(const std::string& reply);

// The program's side of the SMS and mail gateway.
//
// Every exchange is one HTTP GET whose query string carries all parameters, read on one of two URL readers:
// AsyncRead1 carries the logon, the SMS and the mail requests, AsyncRead2 only the credit queries. A request
// is told apart from the others only by its tag: "logon1" for the logon, otherwise requestSeq (raised by one
// first) followed by the kind ("sendsms", "sendsms1", "sendmail1", "getcredit"). Every reply on AsyncRead1
// other than the logon's is answered with a credit query, unless the last request built was a gateway mail;
// the credit reply updates the credit shown in Label7. A logon reply that cannot be read ends the program
// after its message box.
class GatewayClient {
public:
    static constexpr std::string_view kDefaultGatewayBase = WARDEL_GATEWAY_BASE;
    // The number every SMS is sent from, passed by the senders to BuildSmsUrl / BuildAliveSmsUrl.
    static constexpr std::string_view kSenderNumber = WARDEL_SENDER_NUMBER;

    // Tag kinds of the requests on the two readers.
    static constexpr std::string_view kLogonTag = "logon1";
    static constexpr std::string_view kSmsKind = "sendsms";
    static constexpr std::string_view kAliveSmsKind = "sendsms1";
    static constexpr std::string_view kMailKind = "sendmail1";
    static constexpr std::string_view kCreditKind = "getcredit";

    // `mainReader` carries AsyncRead1, `creditReader` AsyncRead2; Label4 shows the account state, Label7
    // the credit; `unloadMainWindow` ends the program after a logon reply that cannot be read.
    GatewayClient(const Clock& clock, UrlFetcher& mainReader, UrlFetcher& creditReader, MessageBox& messages,
                  WindowPort& window, Control& Label4, Control& Label7, const AppSettings& settings,
                  const RuntimeValues& runtime, std::function<void()> unloadMainWindow,
                  std::string gatewayBase = std::string(kDefaultGatewayBase));

    GatewayState& state() { return state_; }
    const GatewayState& state() const { return state_; }

    // The scheme, host and any port every request URL starts with; the build's value unless a test (or a
    // run against the gateway simulator) points the client elsewhere.
    const std::string& gatewayBase() const { return gatewayBase_; }
    void setGatewayBase(std::string base) { gatewayBase_ = std::move(base); }

    AsyncRead& AsyncRead1() { return asyncRead1_; }
    AsyncRead& AsyncRead2() { return asyncRead2_; }

    struct LogonAccount {
        std::string email;
        std::string password;
    };
    // Where the logon takes the account from (the settings dialog's fields); without it, the settings.
    void setLogonAccount(std::function<LogonAccount()> source) { logonAccount_ = std::move(source); }

    // Shows the main window and logs on with the account, surrounding blanks removed; no request without both
    // fields.
    void GatewayLogon();

    // The SMS request; with the mail alert list appended when mailListWithSms is 1.
    std::string BuildSmsUrl(std::int16_t unicode, const std::string& email, const std::string& password,
                            const std::string& apiId, std::string_view sender, const std::string& recipients,
                            const std::string& text);
    // The I-am-alive SMS request: the same URL, never with the mail alert list.
    std::string BuildAliveSmsUrl(std::int16_t unicode, const std::string& email, const std::string& password,
                                 const std::string& apiId, std::string_view sender, const std::string& recipients,
                                 const std::string& text);
    std::string BuildMailAlertUrl(const std::string& email, const std::string& password, const std::string& recipients,
                                  const std::string& text) const;

    // Sends a gateway mail with the account of the settings. Every CR LF of the text becomes "<br>" (in the
    // caller's text too); the subject keeps its own.
    void SendGatewayMail(const std::string& recipients, std::string& text, const std::string& subject);
    // The gateway mail request for a text whose CR LF pairs are already "<br>".
    std::string gatewayMailUrl(const std::string& recipients, const std::string& text,
                               const std::string& subject) const;
    // The bytes a piece of mail text adds to that request: its CR LF pairs as "<br>", then encoded. Text
    // made of whole lines, each ended by CR LF, adds the sum of what its lines add.
    static std::size_t gatewayMailTextLength(std::string_view text);

    // Raises requestSeq, tags the reader with it and the kind, and starts the read of the URL.
    void issueRequest(AsyncRead& reader, std::string_view kind, const std::string& url);

    // AsyncReadComplete of AsyncRead1 and AsyncRead2.
    void OnMainReply(const FetchResult& result);
    void OnCreditReply(const FetchResult& result);

private:
    std::string smsUrl(std::int16_t unicode, const std::string& email, const std::string& password,
                       const std::string& apiId, std::string_view sender, const std::string& recipients,
                       const std::string& text) const;
    std::string nowText() const;
    void issueCreditQuery();
    void setCreditText(std::string text);
    void logonFailed();

    const Clock& clock_;
    MessageBox& messages_;
    WindowPort& window_;
    Control& Label4_;
    Control& Label7_;
    const AppSettings& settings_;
    const RuntimeValues& runtime_;
    std::function<void()> unloadMainWindow_;
    std::string gatewayBase_;
    GatewayState state_;
    AsyncRead asyncRead1_;
    AsyncRead asyncRead2_;
    std::function<LogonAccount()> logonAccount_;
};

} // namespace wardel
