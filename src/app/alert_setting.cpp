#include "app/alert_setting.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "common/numbers.h"
#include "common/utf8.h"
#include "settings/settings_file.h"

namespace wardel {

namespace {

constexpr const char* kSaveErrorText = "Setting File Save Error";
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
    bindClickProcedures();
    c_.Label3_5.setText(gatewayWebAddress_);
    Fill();
}

void AlertSetting::bindClickProcedures() {
    for (const SettingControl& row : kSettingControls) {
        if (row.check) {
            CheckControl& box = c_.*row.check;
            box.setClickProcedure([this, &box] { turnOver(box); });
        }
    }
    using Handler = void (AlertSetting::*)();
    const std::pair<Control*, Handler> clicks[] = {
        {&c_.smsPhone, &AlertSetting::smsPhone_Click}, {&c_.Label2, &AlertSetting::Label2_Click},
        {&c_.Label3_4, &AlertSetting::Label3_Click},   {&c_.SMS_Reset, &AlertSetting::SMS_Reset_Click},
        {&c_.Save, &AlertSetting::Save_Click},         {&c_.Cancel, &AlertSetting::Cancel_Click},
        {&c_.Label3_5, &AlertSetting::Label3_Click},
    };
    for (const auto& click : clicks)
        click.first->setClickProcedure([this, handler = click.second] { (this->*handler)(); });
}

void AlertSetting::Fill() {
    for (const SettingControl& row : kSettingControls) {
        const SettingField& field = *row.field;
        Control& control = row.in(c_);
        if (field.isSwitch()) {
            control.setChecked(isOn(settings_.*field.onOff));
            continue;
        }
        // The defaults belong to the settings themselves from now on.
        std::string& text = settings_.*field.text;
        if (text.empty() && field.fallback)
            text = field.fallback;
        control.setText(text);
    }
    c_.SMS_Today.setText("SMS Sent Today : " + std::to_string(runtime_.smsSentToday));
    fillMaxSmsList();
    applyCheck2Rule();
}

// The list preselects the entry equal to the cap, else its first entry. A cap that is no entry (one typed
// earlier) still shows as it is, so a save without a second look keeps it: the cap is a cost safeguard.
void AlertSetting::fillMaxSmsList() {
    const std::string cap = settings_.maxSms;
    c_.max_SMS.setItems(std::vector<std::string>(std::begin(kMaxSmsChoices), std::end(kMaxSmsChoices)));
    const auto entry = std::find(std::begin(kMaxSmsChoices), std::end(kMaxSmsChoices), cap);
    c_.max_SMS.select(entry == std::end(kMaxSmsChoices) ? 0 : static_cast<int>(entry - std::begin(kMaxSmsChoices)));
    // No cap at all (a first start) keeps the first entry.
    if (!cap.empty())
        c_.max_SMS.setText(cap);
}

void AlertSetting::applyCheck2Rule() {
    const bool on = c_.Check2.checked();
    for (Control* control : c_.alertFields())
        control->setEnabled(on);
    for (Control* control : c_.aliveFields())
        control->setEnabled(on && c_.alive_Email.checked());
}

void AlertSetting::setCheck2(bool on) {
    c_.Check2.setChecked(on);
    applyCheck2Rule();
}

// The enabling rules follow Check2 and alive_Email; alive_Email can only be clicked while Check2 is ticked.
void AlertSetting::turnOver(CheckControl& box) {
    box.setChecked(!box.checked());
    applyCheck2Rule();
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
    return text.find('@') != std::string_view::npos && utf8::countCodePoints(text) >= 7;
}

void AlertSetting::copyIntoSettings() {
    for (const SettingControl& row : kSettingControls) {
        const SettingField& field = *row.field;
        const Control& control = row.in(c_);
        if (field.isSwitch())
            settings_.*field.onOff = switchValue(control);
        else
            settings_.*field.text =
                field.blanks == SettingField::Blanks::KeptAsTyped ? control.text() : trimmed(control);
    }
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
    // The logon stands; the operator keeps the input and may save again.
    if (!requests_.saveSettings()) {
        messages_.show(kSaveErrorText);
        return;
    }
    requests_.close();
}

} // namespace wardel
