#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/controls.h"
#include "platform/message_box.h"
#include "platform/shell.h"
#include "settings/app_settings.h"
#include "settings/setting_fields.h"

namespace wardel {

// The named controls of the settings dialog alertSetting as plain values, top to bottom, each with its kind;
// the dialog lays them out itself.
struct AlertSettingControls {
    using Kind = ControlDesign::Kind;
    ControlBoard board;

    // The dialog window itself: its caption, and visible while it is shown.
    Control alertSetting{board, "alertSetting", "Wardel  Settings", {Kind::Caption}, true, false};

    Control Frame3{board, "Frame3", "Time Interval Settings", {Kind::Frame}};
    Control Label4_0{board, "Label4(0)", "Time Interval For Monitoring "};
    TextControl TimeInterval{board, "TimeInterval", ""};
    Control Label4_2{board, "Label4(2)", "Seconds"};
    Control Label4_1{board, "Label4(1)", "Timeout Value For Connecting"};
    TextControl TimeOut{board, "TimeOut", ""};
    Control Label4_3{board, "Label4(3)", "Seconds"};
    CheckControl Check4{board, "Check4", "Start Checking when started"};
    CheckControl Enable_log{board, "Enable_log", "Save Log on file"};

    Control Frame1{board, "Frame1", "", {Kind::Frame}};
    CheckControl Check2{board, "Check2", "Enable Alert - Textora Member Only"};
    Control Label5_0{board, "Label5(0)", "Email account "};
    TextControl smsEmail{board, "smsEmail", ""};
    Control Label5_1{board, "Label5(1)", "Password"};
    TextControl smsPassword{board, "smsPassword", ""};
    Control Label2{board, "Label2", "Click to get SMS to try", {Kind::Link}};
    Control Label5_2{board, "Label5(2)", "SMS alert to "};
    TextControl smsPhone{board, "smsPhone", ""};
    Control Label1{board, "Label1", "Mail alert to "};
    TextControl Mail_List{board, "Mail_List", ""};
    Control Label5_3{board, "Label5(3)", "Separate multiple mobile # or email account by comma (,)"};
    Control Label3_4{board, "Label3(4)", "Cap max SMS sending a day to avoid unexpected ", {Kind::Link}};
    ComboControl max_SMS{board, "max_SMS", ""};
    Control SMS_Reset{board, "SMS_Reset", "Click to Reset", {Kind::Link}};
    Control SMS_Today{board, "SMS_Today", "SMS Sent Today : 0"};

    Control Frame4{board, "Frame4", "", {Kind::Frame}};
    CheckControl alive_Email{board, "alive_Email", "I am alive notice.Let you know program keep monitoring "};
    Control Label7_0{board, "Label7(0)", "Time to send EMAIL on every  "};
    TextControl min_Select{board, "min_Select", ""};
    Control Label7_3{board, "Label7(3)", "minutes"};
    Control Label7_1{board, "Label7(1)", "Mail to"};
    TextControl mailTo1{board, "mailTo1", ""};
    Control Label7_2{board, "Label7(2)", "Time to send SMS on every  "};
    TextControl min_Select1{board, "min_Select1", ""};
    Control Label7_4{board, "Label7(4)", "minutes"};
    Control Label7_5{board, "Label7(5)", "SMS to"};
    TextControl smsTo1{board, "smsTo1", ""};

    Control Save{board, "Save", "Save and Login", {Kind::Button}};
    Control Cancel{board, "Cancel", "Cancel", {Kind::Button}};
    Control Label3_5{board, "Label3(5)", "", {Kind::Link}}; // the gateway's web address

    // The gateway alert settings: enabled only while Check2 (alerts on) is checked.
    std::vector<Control*> alertFields() {
        return {&Label5_0,  &smsEmail, &Label5_1, &smsPassword, &Label2,    &Label5_2,  &smsPhone,    &Label1,
                &Mail_List, &Label5_3, &Label3_4, &max_SMS,     &SMS_Reset, &SMS_Today, &alive_Email, &Label3_5};
    }
    // The I-am-alive notice settings: enabled only while Check2 and alive_Email are both checked.
    std::vector<Control*> aliveFields() {
        return {&Label7_0, &min_Select,  &Label7_3, &Label7_1, &mailTo1,
                &Label7_2, &min_Select1, &Label7_4, &Label7_5, &smsTo1};
    }
    // Every control of the dialog but the window, top to bottom: the board's list without its first entry.
    std::vector<Control*> all() const { return {board.all().begin() + 1, board.all().end()}; }
};

// A setting and the dialog's control that edits it: a switch goes with a check box, a text with a text box
// or the combo box. A row naming a control the dialog lacks, or pairing a field with a control of the wrong
// kind, does not compile; nor does a field of kSettingFields left without its row.
struct SettingControl {
    const SettingField* field;
    CheckControl AlertSettingControls::*check = nullptr;
    TextControl AlertSettingControls::*box = nullptr;
    ComboControl AlertSettingControls::*combo = nullptr;

    Control& in(AlertSettingControls& c) const {
        if (check)
            return c.*check;
        if (box)
            return c.*box;
        return c.*combo;
    }
};

namespace setting_control {

using C = AlertSettingControls;

constexpr SettingControl edits(std::int16_t AppSettings::*onOff, CheckControl C::*check) {
    return {&settingField(onOff), check};
}
constexpr SettingControl edits(std::string AppSettings::*text, TextControl C::*box) {
    return {&settingField(text), nullptr, box};
}
constexpr SettingControl edits(std::string AppSettings::*text, ComboControl C::*combo) {
    return {&settingField(text), nullptr, nullptr, combo};
}

} // namespace setting_control

// In the order of kSettingFields.
inline constexpr auto kSettingControls = [] {
    using namespace setting_control;
    using S = AppSettings;
    return std::array{
        edits(&S::timeInterval, &C::TimeInterval), edits(&S::timeOut, &C::TimeOut),
        edits(&S::alertEnabled, &C::Check2),       edits(&S::smsEmail, &C::smsEmail),
        edits(&S::smsPassword, &C::smsPassword),   edits(&S::smsPhone, &C::smsPhone),
        edits(&S::startOnLaunch, &C::Check4),      edits(&S::logEnabled, &C::Enable_log),
        edits(&S::mailList, &C::Mail_List),        edits(&S::maxSms, &C::max_SMS),
        edits(&S::aliveEnabled, &C::alive_Email),  edits(&S::aliveMailMinutes, &C::min_Select),
        edits(&S::aliveMailTo, &C::mailTo1),       edits(&S::aliveSmsMinutes, &C::min_Select1),
        edits(&S::aliveSmsTo, &C::smsTo1),
    };
}();

static_assert(
    [] {
        if (kSettingControls.size() != kSettingFields.size())
            return false;
        for (std::size_t i = 0; i < kSettingFields.size(); ++i)
            if (kSettingControls[i].field != &kSettingFields[i])
                return false;
        return true;
    }(),
    "every setting has its control, in the order of kSettingFields");

// The settings dialog alertSetting as a presentation model: the one place where the operator edits the
// settings. It fills its controls from the settings when it is created, keeps the enabling rules while the
// operator edits, and on Save copies its fields into the settings before it checks them in a fixed order;
// only when every check passed does it log on, write setting.ini and close. The widgets show its control
// values and forward what the operator does.
//
// The owner destroys it when it asks to be closed (Cancel, the close box, a save that passed), after the
// handler that asked has returned.
class AlertSetting {
public:
    static constexpr const char* kMaxSmsChoices[] = {"9999", "5",  "10", "15", "20", "30",
                                                     "40",   "50", "70", "80", "100"};
    static constexpr const char* kPhoneHint = "55812345671,16132123456 (*with country code)";
    static constexpr const char* kMailListHint = "*Keep Empty if no mail alert needed";
    static constexpr const char* kMailToHint = "*Separte multiple email address by ,";
    static constexpr const char* kSmsToHint = "*Keep Empty if no SMS alert needed";

    // What the dialog asks of the program.
    struct Requests {
        std::function<void()> logon;        // GatewayLogon; it reads the account from this dialog
        std::function<bool()> saveSettings; // SaveSettings; false when setting.ini could not be written
        std::function<void()> close;        // close the dialog and destroy this model
    };

    AlertSetting(AppSettings& settings, RuntimeValues& runtime, MessageBox& messages, Shell& shell,
                 std::string gatewayWebAddress, Requests requests);
    AlertSetting(const AlertSetting&) = delete;
    AlertSetting& operator=(const AlertSetting&) = delete;

    AlertSettingControls& controls() { return c_; }
    const AlertSettingControls& controls() const { return c_; }

    // Shows the dialog without blocking the main window; its controls keep what they hold.
    void show() { c_.alertSetting.setVisible(true); }

    // Operator actions; each is its control's click procedure. A click on a setting's check box turns it over.
    void smsPhone_Click();
    void SMS_Reset_Click();
    void Label2_Click() { openGatewaySite(); }
    void Label3_Click() { openGatewaySite(); }
    void Save_Click();
    void Cancel_Click() { requests_.close(); }
    // The window's close box: as Cancel.
    void Form_Unload() { requests_.close(); }

    // Puts the hint texts into the four recipient fields.
    void ShowRecipientHints();
    // The midnight reset's part: the count shown goes back to 0.
    void resetSmsTodayCaption() { c_.SMS_Today.setText("SMS Sent Today : 0"); }

    // True when the text, blanks around it removed, holds only "+0123456789,;" (an empty text too).
    static bool IsValidPhoneList(std::string_view text);
    // An e-mail address passes when it holds "@" and has at least seven characters (not bytes), blanks
    // included.
    static bool isValidEmail(std::string_view text);

private:
    void bindClickProcedures();
    void Fill();
    void fillMaxSmsList();
    void setCheck2(bool on);
    // The one handler of every setting's check box.
    void turnOver(CheckControl& box);
    void applyCheck2Rule();
    void copyIntoSettings();
    bool runChecks();
    void openGatewaySite() { shell_.openUrl(gatewayWebAddress_); }

    AppSettings& settings_;
    RuntimeValues& runtime_;
    MessageBox& messages_;
    Shell& shell_;
    std::string gatewayWebAddress_;
    Requests requests_;
    AlertSettingControls c_;
};

} // namespace wardel
