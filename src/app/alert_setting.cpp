#include "app/alert_setting.h"

#include <iterator>

#include "common/numbers.h"
#include "settings/settings_file.h"

namespace wardel {

namespace {

constexpr const char* kCountryCodeLine = "\r\nIt is internation format with country code";

std::string trimmed(const Control& control) {
    return std::string(trim(control.text()));
}

bool hasHint(const Control& control) {
    return control.text().find('*') != std::string::npos;
}

// A check box shows the states 0 and 1 only; the settings store reads anything else from the file as 0.
bool isOn(std::int16_t value) {
    return value == 1;
}

std::int16_t switchValue(const Control& box) {
    return box.checked() ? 1 : 0;
}

} // namespace

AlertSetting::AlertSetting(AppSettings& settings, RuntimeValues& runtime, MessageBox& messages, Shell& shell,
                           std::string gatewayWebAddress, Requests requests)
    : settings_(settings), runtime_(runtime), messages_(messages), shell_(shell),
      gatewayWebAddress_(std::move(gatewayWebAddress)), requests_(std::move(requests)) {
    c_.Label3_5.setText(gatewayWebAddress_);
    Fill();
}

void AlertSetting::Fill() {
    AppSettings& s = settings_;
    c_.Check2.setChecked(isOn(s.alertEnabled));
    c_.Check4.setChecked(isOn(s.startOnLaunch));
    c_.Enable_log.setChecked(isOn(s.logEnabled));
    c_.alive_Email.setChecked(isOn(s.aliveEnabled));

    // The defaults belong to the settings themselves from now on.
    if (s.aliveMailMinutes.empty())
        s.aliveMailMinutes = "60";
    if (s.aliveSmsMinutes.empty())
        s.aliveSmsMinutes = "720";
    c_.min_Select.setText(s.aliveMailMinutes);
    c_.min_Select1.setText(s.aliveSmsMinutes);

    c_.mailTo1.setText(s.aliveMailTo);
    c_.smsTo1.setText(s.aliveSmsTo);
    c_.smsEmail.setText(s.smsEmail);
    c_.smsPassword.setText(s.smsPassword);
    c_.smsPhone.setText(s.smsPhone);

    if (s.timeInterval.empty())
        s.timeInterval = "60";
    if (s.timeOut.empty())
        s.timeOut = "30";
    c_.TimeInterval.setText(s.timeInterval);
    c_.TimeOut.setText(s.timeOut);

    c_.Mail_List.setText(s.mailList);
    c_.SMS_Today.setText("SMS Sent Today : " + std::to_string(runtime_.smsSentToday));

    // A cap that is no entry of the list (one typed earlier) shows the first entry.
    c_.max_SMS.setItems(std::vector<std::string>(std::begin(kMaxSmsChoices), std::end(kMaxSmsChoices)));
    c_.max_SMS.select(0);
    for (int i = 0; i < static_cast<int>(std::size(kMaxSmsChoices)); ++i) {
        if (s.maxSms == kMaxSmsChoices[i]) {
            c_.max_SMS.select(i);
            break;
        }
    }

    applyCheck2Rule();
}

void AlertSetting::applyCheck2Rule() {
    const bool on = c_.Check2.checked();
    for (Control* control : c_.groupG())
        control->setEnabled(on);
    for (Control* control : c_.groupA())
        control->setEnabled(on && c_.alive_Email.checked());
}

void AlertSetting::applyAliveRule() {
    for (Control* control : c_.groupA())
        control->setEnabled(c_.alive_Email.checked());
}

void AlertSetting::setCheck2(bool on) {
    c_.Check2.setChecked(on);
    applyCheck2Rule();
}

void AlertSetting::Check2_Click() {
    setCheck2(!c_.Check2.checked());
}

void AlertSetting::alive_Email_Click() {
    c_.alive_Email.setChecked(!c_.alive_Email.checked());
    applyAliveRule();
}

void AlertSetting::smsPhone_Click() {
    if (hasHint(c_.smsPhone))
        c_.smsPhone.setText("");
}

void AlertSetting::SMS_Reset_Click() {
    runtime_.smsSentToday = 0;
    resetSmsTodayCaption();
}

void AlertSetting::ShowRecipientHints() {
    c_.smsPhone.setText(kPhoneHint);
    c_.Mail_List.setText(kMailListHint);
    c_.mailTo1.setText(kMailToHint);
    c_.smsTo1.setText(kSmsToHint);
}

bool AlertSetting::IsValidPhoneList(std::string_view text) {
    return trim(text).find_first_not_of("+0123456789,;") == std::string_view::npos;
}

bool AlertSetting::isValidEmail(std::string_view text) {
    return text.find('@') != std::string_view::npos && text.size() >= 7;
}

void AlertSetting::copyIntoSettings() {
    AppSettings& s = settings_;
    s.timeInterval = trimmed(c_.TimeInterval);
    s.timeOut = trimmed(c_.TimeOut);
    s.alertEnabled = switchValue(c_.Check2);
    s.smsEmail = c_.smsEmail.text();
    s.smsPassword = c_.smsPassword.text();
    s.smsPhone = c_.smsPhone.text();
    s.startOnLaunch = switchValue(c_.Check4);
    s.logEnabled = switchValue(c_.Enable_log);
    s.mailList = trimmed(c_.Mail_List);
    s.maxSms = c_.max_SMS.text();
    s.aliveEnabled = switchValue(c_.alive_Email);
    s.aliveMailTo = trimmed(c_.mailTo1);
    s.aliveSmsTo = trimmed(c_.smsTo1);
    s.aliveMailMinutes = trimmed(c_.min_Select);
    s.aliveSmsMinutes = trimmed(c_.min_Select1);
}

// Every failing check shows its message; the first one goes on with the next check, any other ends the
// checking. The boxes queue, so the checking never waits for OK.
bool AlertSetting::runChecks() {
    bool pass = true;
    auto fail = [&](const std::string& message) {
        messages_.show(message);
        pass = false;
        return false;
    };

    if (c_.TimeInterval.text().empty() || c_.TimeOut.text().empty())
        fail("Timeinterval or Timeout value can not be empty");

    if (c_.Check2.checked()) {
        if (trimmed(c_.smsEmail).empty() || trimmed(c_.smsPassword).empty())
            return fail("[Alert enabled] need input the [Email account] and [password]\r\n\r\n"
                        "Get password and free try on Textora");
        if (trimmed(c_.smsPhone).empty())
            return fail(std::string("Need input mobile # in [SMS alert to] field ") + kCountryCodeLine);
        if (!IsValidPhoneList(c_.smsPhone.text()))
            return fail(std::string("Please input correct mobile # in [SMS alert to] field") + kCountryCodeLine);
        if (!isValidEmail(c_.smsEmail.text())) {
            setCheck2(false);
            return fail("Login Email Address is invalid !!");
        }
        if (!trimmed(c_.Mail_List).empty()) {
            if (!isValidEmail(c_.Mail_List.text())) {
                runtime_.mailListWithSms = 0;
                return fail("Make it empty or input correct email address on [Mail alert to] field !!");
            }
            runtime_.mailListWithSms = 1;
        }
    }

    if (c_.alive_Email.checked()) {
        if (!isValidEmail(c_.mailTo1.text())) {
            settings_.aliveEnabled = 0;
            return fail("Need input correct email address on [Mail to] field for [I am alive notice] !!");
        }
        if (!IsValidPhoneList(c_.smsTo1.text()))
            return fail(
                std::string("Input correct mobile # or make it empty on [SMS to] field for [I am alive notice]") +
                kCountryCodeLine);
    }

    const auto minutes = wholeToInt16(trim(c_.min_Select.text()));
    if (!minutes || *minutes < 5) {
        c_.min_Select.setText("5");
        return fail("Send email for I am alive notice need > 5 minutes");
    }
    return pass;
}

void AlertSetting::Save_Click() {
    copyIntoSettings();
    restartAliveCountdowns(settings_, runtime_);
    if (!runChecks())
        return;
    if (c_.Check2.checked() || (!c_.smsEmail.text().empty() && !c_.smsPassword.text().empty()))
        requests_.logon();
    requests_.saveSettings();
    requests_.close();
}

} // namespace wardel
