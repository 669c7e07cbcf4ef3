#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "app/alert_setting.h"
#include "support/settings_builders.h"
#include "support/test_rig.h"

namespace wardel {
namespace {

using test::readFile;
using test::TestRig;
using test::writeFile;

const char* kAccountMessage =
    "[Alert enabled] need input the [Email account] and [password]\r\n\r\nGet password and free try on Textora";
const char* kPhoneEmptyMessage =
    "Need input mobile # in [SMS alert to] field \r\nIt is internation format with country code";
const char* kPhoneMessage =
    "Please input correct mobile # in [SMS alert to] field\r\nIt is internation format with country code";
const char* kTimeMessage = "Timeinterval or Timeout value can not be empty";
const char* kMinutesMessage = "Send email for I am alive notice need > 5 minutes";

// The dialog model alone, with what it asks of the program counted.
struct DialogRig {
    explicit DialogRig(AppSettings initial = test::settingsWithAlertsOn()) : settings(std::move(initial)) {}
    AlertSetting& open() {
        dialog = std::make_unique<AlertSetting>(
            settings, runtime, messages, shell, "http://127.0.0.1:8",
            AlertSetting::Requests{[this] { ++logons; }, [this] { return ++saves > 0; }, [this] { ++closes; }});
        return *dialog;
    }
    AlertSettingControls& c() { return dialog->controls(); }
    bool passed() const { return saves == 1 && closes == 1 && messages.shown.empty(); }

    AppSettings settings;
    RuntimeValues runtime;
    test::FakeMessageBox messages;
    test::FakeShell shell;
    std::unique_ptr<AlertSetting> dialog;
    int logons = 0, saves = 0, closes = 0;
};

bool allEnabled(const std::vector<Control*>& group, bool enabled) {
    for (const Control* control : group)
        if (control->enabled() != enabled)
            return false;
    return true;
}

TEST(AlertSetting, FillShowsTheSettingsAndMakesTheDefaultsTheirs) {
    AppSettings s;
    s.alertEnabled = 2; // not a check box state: shown unchecked
    s.logEnabled = 1;
    s.maxSms = "15";
    DialogRig rig(s);
    rig.runtime.smsSentToday = 3;
    AlertSettingControls& c = rig.open().controls();

    EXPECT_EQ(c.alertSetting.text(), "Wardel  Settings");
    EXPECT_FALSE(c.alertSetting.visible());
    EXPECT_EQ(rig.settings.timeInterval, "60");
    EXPECT_EQ(rig.settings.timeOut, "30");
    EXPECT_EQ(rig.settings.aliveMailMinutes, "60");
    EXPECT_EQ(rig.settings.aliveSmsMinutes, "720");
    EXPECT_EQ(c.TimeInterval.text() + c.TimeOut.text() + c.min_Select.text() + c.min_Select1.text(), "603060720");
    EXPECT_FALSE(c.Check2.checked());
    EXPECT_TRUE(c.Enable_log.checked());
    EXPECT_EQ(c.SMS_Today.text(), "SMS Sent Today : 3");
    EXPECT_EQ(c.max_SMS.items().size(), 11u);
    EXPECT_EQ(c.max_SMS.selectedIndex(), 3);
    EXPECT_EQ(c.Label3_5.text(), "http://127.0.0.1:8");
}

TEST(AlertSetting, EnablingRulesForEveryCombinationOfTheTwoBoxes) {
    const struct {
        std::int16_t alert, alive;
        std::vector<CheckControl AlertSettingControls::*> clicks;
        bool alertFields, aliveFields; // enabled
    } cases[] = {
        {0, 0, {}, false, false},
        {0, 1, {}, false, false},
        {1, 0, {}, true, false},
        {1, 1, {}, true, true},
        {0, 0, {&AlertSettingControls::Check2}, true, false},
        {0, 1, {&AlertSettingControls::Check2}, true, true},
        {1, 1, {&AlertSettingControls::Check2}, false, false},
        {1, 0, {&AlertSettingControls::alive_Email}, true, true},
        {1, 1, {&AlertSettingControls::alive_Email}, true, false},
    };
    for (const auto& k : cases) {
        AppSettings s;
        s.alertEnabled = k.alert;
        s.aliveEnabled = k.alive;
        DialogRig rig(s);
        AlertSetting& dialog = rig.open();
        for (const auto box : k.clicks)
            (dialog.controls().*box).click();
        EXPECT_TRUE(allEnabled(rig.c().alertFields(), k.alertFields)) << k.alert << k.alive << k.clicks.size();
        EXPECT_TRUE(allEnabled(rig.c().aliveFields(), k.aliveFields)) << k.alert << k.alive << k.clicks.size();
        EXPECT_TRUE(rig.c().Check2.enabled() && rig.c().Check4.enabled() && rig.c().TimeInterval.enabled());
    }
}

TEST(AlertSetting, EachOfTheNineChecksFailingAloneShowsItsMessageAndKeepsTheDialog) {
    const struct {
        const char* what;
        std::function<void(AlertSettingControls&)> edit;
        std::string message;
        std::function<void(DialogRig&)> effect;
    } cases[] = {
        {"1", [](auto& c) { c.TimeOut.setText(""); }, kTimeMessage, {}},
        {"2", [](auto& c) { c.smsPassword.setText("  "); }, kAccountMessage, {}},
        {"3", [](auto& c) { c.smsPhone.setText(" "); }, kPhoneEmptyMessage, {}},
        {"4", [](auto& c) { c.smsPhone.setText("+1555, +1666"); }, kPhoneMessage, {}},
        {"5", [](auto& c) { c.smsEmail.setText("a@b.cc"); }, "Login Email Address is invalid !!",
         [](DialogRig& rig) {
             EXPECT_FALSE(rig.c().Check2.checked());
             EXPECT_TRUE(allEnabled(rig.c().alertFields(), false) && allEnabled(rig.c().aliveFields(), false));
         }},
        {"6", [](auto& c) { c.Mail_List.setText("a@b.c"); },
         "Make it empty or input correct email address on [Mail alert to] field !!",
         [](DialogRig& rig) { EXPECT_EQ(rig.runtime.mailListWithSms, 0); }},
        {"7", [](auto& c) { c.mailTo1.setText(""); },
         "Need input correct email address on [Mail to] field for [I am alive notice] !!",
         [](DialogRig& rig) {
             EXPECT_EQ(rig.settings.aliveEnabled, 0);
             EXPECT_TRUE(rig.c().alive_Email.checked());
         }},
        {"8",
         [](auto& c) { c.smsTo1.setText("+1-555"); },
         "Input correct mobile # or make it empty on [SMS to] field for [I am alive notice]\r\n"
         "It is internation format with country code",
         {}},
        {"9", [](auto& c) { c.min_Select.setText("4"); }, kMinutesMessage,
         [](DialogRig& rig) { EXPECT_EQ(rig.c().min_Select.text(), "5"); }},
    };
    for (const auto& k : cases) {
        DialogRig rig;
        rig.runtime.mailListWithSms = 1;
        AlertSetting& dialog = rig.open();
        k.edit(rig.c());
        dialog.Save_Click();
        EXPECT_EQ(rig.messages.shown, std::vector<std::string>{k.message}) << k.what;
        EXPECT_EQ(rig.logons + rig.saves + rig.closes, 0) << k.what;
        if (k.effect)
            k.effect(rig);
    }
}

TEST(AlertSetting, CheckOneGoesOnToTheNextCheck) {
    DialogRig rig;
    AlertSetting& dialog = rig.open();
    rig.c().TimeInterval.setText("");
    rig.c().smsPhone.setText("");
    dialog.Save_Click();
    EXPECT_EQ(rig.messages.shown, (std::vector<std::string>{kTimeMessage, kPhoneEmptyMessage}));
}

TEST(AlertSetting, EmailRuleCountsSevenCharactersAsTyped) {
    // Characters, not bytes: "é" is two bytes and one character.
    for (const auto& [text, valid] : {std::pair{"a@b.cc", false},
                                      {"a@b.ccc", true},
                                      {" a@b.cc", true},
                                      {"abcdefgh", false},
                                      {"", false},
                                      {"\xC3\xA9@b.cc", false},
                                      {"\xC3\xA9@b.ccc", true},
                                      {"\xE6\x97\xA5@\xE4\xBE\x8B.jp", false},
                                      {"ab@\xF0\x9F\x93\x9F.i", false},
                                      {"abc@\xF0\x9F\x93\x9F.i", true}})
        EXPECT_EQ(AlertSetting::isValidEmail(text), valid) << text;
}

TEST(AlertSetting, PhoneListsTakeOnlyDigitsPlusCommaAndSemicolon) {
    for (const auto& [text, valid] : {std::pair{"+1555,+1666", true},
                                      {"  +1555;1666 ", true},
                                      {"", true},
                                      {"+1555, +1666", false},
                                      {"+1-555", false},
                                      {"(1)555", false},
                                      {AlertSetting::kPhoneHint, false},
                                      {AlertSetting::kSmsToHint, false}})
        EXPECT_EQ(AlertSetting::IsValidPhoneList(text), valid) << text;
}

TEST(AlertSetting, MailMinutesBelowFiveOrNotANumberFailEvenWithTheNoticeOff) {
    const struct {
        const char* minutes;
        bool passes;
        const char* shown;
    } cases[] = {{"4", false, "5"},   {"5", true, "5"},      {" 12 ", true, " 12 "}, {"4.5", false, "5"},
                 {"abc", false, "5"}, {"12abc", false, "5"}, {"99999", false, "5"}};
    for (const auto& k : cases) {
        AppSettings s = test::settingsWithAlertsOn();
        s.aliveEnabled = 0;
        DialogRig rig(s);
        AlertSetting& dialog = rig.open();
        rig.c().min_Select.setText(k.minutes);
        dialog.Save_Click();
        EXPECT_EQ(rig.passed(), k.passes) << k.minutes;
        EXPECT_EQ(rig.c().min_Select.text(), k.shown) << k.minutes;
    }
}

TEST(AlertSetting, PassingSaveCopiesTheFieldsRestartsTheCountdownsLogsOnSavesAndCloses) {
    DialogRig rig;
    rig.runtime.aliveSmsCountdown = 7;
    AlertSetting& dialog = rig.open();
    AlertSettingControls& c = rig.c();
    c.TimeInterval.setText(" 45 ");
    c.smsEmail.setText(" ops@example.com");
    c.max_SMS.setText(" 33");
    c.Check4.click();
    c.Mail_List.setText(" a@b.example ");
    c.min_Select.setText("30");
    c.min_Select1.setText("99999"); // no check, and too large for a countdown
    dialog.Save_Click();

    EXPECT_TRUE(rig.passed());
    EXPECT_EQ(rig.logons, 1);
    EXPECT_EQ(rig.settings.timeInterval, "45");
    EXPECT_EQ(rig.settings.smsEmail, " ops@example.com");
    EXPECT_EQ(rig.settings.maxSms, " 33");
    EXPECT_EQ(rig.settings.startOnLaunch, 1);
    EXPECT_EQ(rig.settings.mailList, "a@b.example");
    EXPECT_EQ(rig.settings.aliveSmsMinutes, "99999");
    EXPECT_EQ(rig.runtime.aliveMailCountdown, 30);
    EXPECT_EQ(rig.runtime.aliveSmsCountdown, 7);
    EXPECT_EQ(rig.runtime.mailListWithSms, 1);
}

TEST(AlertSetting, ASaveWithoutAChangeKeepsEverySetting) {
    AppSettings distinct = test::settingsWithAlertsOn(); // every field its own value, so none can stand in for another
    distinct.timeOut = "31";
    distinct.startOnLaunch = 1;
    distinct.maxSms = "33";
    distinct.aliveMailTo = "watch@example.com";
    distinct.aliveSmsMinutes = "721";
    distinct.aliveSmsTo = "442222222222";
    DialogRig rig(distinct);
    rig.open().Save_Click();
    EXPECT_TRUE(rig.passed());
    EXPECT_EQ(rig.settings, distinct);
}

TEST(AlertSetting, SaveWithAlertsOffLogsOnOnlyWithBothAccountFieldsTyped) {
    const struct {
        const char *email, *password;
        int logons;
    } cases[] = {{"ops@example.com", "pw", 1}, {" ", " ", 1}, {"ops@example.com", "", 0}, {"", "pw", 0}};
    for (const auto& k : cases) {
        AppSettings s = test::settingsWithAlertsOn();
        s.alertEnabled = 0;
        s.aliveEnabled = 0;
        DialogRig rig(s);
        AlertSetting& dialog = rig.open();
        rig.c().smsEmail.setText(k.email);
        rig.c().smsPassword.setText(k.password);
        dialog.Save_Click();
        EXPECT_TRUE(rig.passed());
        EXPECT_EQ(rig.logons, k.logons) << k.email << "/" << k.password;
    }
}

TEST(AlertSetting, HintsAreSavedAsValuesWhereNoCheckLooksAtThem) {
    AppSettings s = test::settingsWithAlertsOn();
    s.alertEnabled = 0;
    s.aliveEnabled = 0;
    DialogRig rig(s);
    AlertSetting& dialog = rig.open();
    dialog.ShowRecipientHints();
    dialog.Save_Click();
    EXPECT_TRUE(rig.passed());
    EXPECT_EQ(rig.settings.smsPhone, AlertSetting::kPhoneHint);
    EXPECT_EQ(rig.settings.mailList, AlertSetting::kMailListHint);
    EXPECT_EQ(rig.settings.aliveMailTo, AlertSetting::kMailToHint);
    EXPECT_EQ(rig.settings.aliveSmsTo, AlertSetting::kSmsToHint);
}

TEST(AlertSetting, FieldReactions) {
    DialogRig rig;
    rig.runtime.smsSentToday = 4;
    AlertSetting& dialog = rig.open();
    dialog.smsPhone_Click();
    EXPECT_EQ(rig.c().smsPhone.text(), "441111111111");
    dialog.ShowRecipientHints();
    dialog.smsPhone_Click();
    EXPECT_EQ(rig.c().smsPhone.text(), "");
    EXPECT_EQ(rig.c().Mail_List.text(), AlertSetting::kMailListHint);

    dialog.SMS_Reset_Click();
    EXPECT_EQ(rig.runtime.smsSentToday, 0);
    EXPECT_EQ(rig.c().SMS_Today.text(), "SMS Sent Today : 0");

    dialog.Label2_Click();
    dialog.Label3_Click();
    EXPECT_EQ(rig.shell.openedUrls, (std::vector<std::string>{"http://127.0.0.1:8", "http://127.0.0.1:8"}));
    dialog.Cancel_Click();
    EXPECT_EQ(rig.closes, 1);
    EXPECT_EQ(rig.settings, test::settingsWithAlertsOn());
}

// The dialog inside the whole main window.
AppSettings withAccount() {
    AppSettings s = test::defaultSettings();
    s.smsEmail = "ops@example.org";
    s.smsPassword = "secret";
    s.maxSms = "15";
    return s;
}
const std::string kSettingsWithAccount = test::settingsText(withAccount());

TEST(AlertSettingInMainWindow, StartUpWithoutAFileShowsTheHintsAndTheDefaults) {
    TestRig rig;
    rig.port.Form_Load();
    ASSERT_TRUE(rig.port.hasAlertSetting());
    const AlertSettingControls& c = rig.port.alertSetting().controls();
    EXPECT_FALSE(c.alertSetting.visible());
    EXPECT_EQ(c.smsPhone.text(), AlertSetting::kPhoneHint);
    EXPECT_EQ(c.smsTo1.text(), AlertSetting::kSmsToHint);
    const AppSettings& s = rig.settings;
    EXPECT_EQ(s.timeInterval + "," + s.timeOut + "," + s.aliveMailMinutes + "," + s.aliveSmsMinutes, "60,30,60,720");
}

TEST(AlertSettingInMainWindow, SettingButtonAndAccountLabelOpenTheDialog) {
    for (const bool button : {true, false}) {
        TestRig rig;
        rig.port.Form_Load();
        rig.port.gateway().state().setupLinkActive = false;
        rig.port.Label4_Click();
        EXPECT_FALSE(rig.port.alertSetting().controls().alertSetting.visible());
        rig.port.gateway().state().setupLinkActive = true;
        if (button)
            rig.port.cmdSetting_Click();
        else
            rig.port.Label4_Click();
        EXPECT_TRUE(rig.port.alertSetting().controls().alertSetting.visible()) << button;
    }
}

TEST(AlertSettingInMainWindow, LogonReadsTheAccountFromTheDialog) {
    TestRig rig;
    writeFile(rig.folder / "setting.ini", kSettingsWithAccount);
    rig.port.Form_Load();
    ASSERT_EQ(rig.mainReader.requests.size(), 1u);
    EXPECT_NE(rig.mainReader.requests[0].url.find("email=ops@example.org&pwd=secret&"), std::string::npos);

    rig.port.alertSetting().controls().smsEmail.setText(" typed@example.org ");
    rig.port.gateway().GatewayLogon();
    EXPECT_NE(rig.mainReader.requests.back().url.find("email=typed@example.org&pwd=secret&"), std::string::npos);
}

TEST(AlertSettingInMainWindow, FailedSaveChangesTheSettingsButNotTheFileAndKeepsTheDialog) {
    const struct {
        const char* what;
        bool fileBlocked; // a folder where the new file is written first
        const char* timeOut;
        const char* message;
        std::size_t logons; // with the one at start-up
    } cases[] = {
        {"a failed check", false, "", "Timeinterval or Timeout value can not be empty", 1},
        {"a file that cannot be written", true, "31", "Setting File Save Error", 2},
    };
    for (const auto& k : cases) {
        TestRig rig;
        writeFile(rig.folder / "setting.ini", kSettingsWithAccount);
        if (k.fileBlocked)
            std::filesystem::create_directory(rig.folder / "setting.ini.tmp");
        rig.port.Form_Load();
        rig.port.cmdSetting_Click();
        rig.port.alertSetting().controls().TimeOut.setText(k.timeOut);
        rig.port.alertSettingEvent([](AlertSetting& d) { d.Save_Click(); });
        EXPECT_EQ(rig.settings.timeOut, k.timeOut) << k.what;
        EXPECT_EQ(readFile(rig.folder / "setting.ini"), kSettingsWithAccount) << k.what;
        EXPECT_EQ(rig.messages.shown, std::vector<std::string>{k.message}) << k.what;
        EXPECT_TRUE(rig.port.hasAlertSetting()) << k.what;
        EXPECT_EQ(rig.mainReader.requests.size(), k.logons) << k.what;
        EXPECT_EQ(rig.controls.lblTimeout.text(), "Connecting timeout values : 30 seconds") << k.what;
    }
}

TEST(AlertSettingInMainWindow, SaveWritesLogsOnClosesAndTheNextOpeningPreselectsTheCap) {
    for (const auto& [cap, index] : {std::pair{"30", 5}, {"60", 0}}) {
        TestRig rig;
        writeFile(rig.folder / "setting.ini", kSettingsWithAccount);
        rig.port.Form_Load();
        std::vector<bool> seen; // what the view was told: a dialog (true) or its end (false)
        const Subscription watching =
            rig.port.subscribeAlertSetting([&](AlertSetting* d) { seen.push_back(d != nullptr); });
        rig.port.cmdSetting_Click();
        AlertSettingControls& c = rig.port.alertSetting().controls();
        c.smsEmail.setText("new@example.org");
        c.max_SMS.setText(cap);
        rig.port.alertSettingEvent([](AlertSetting& d) { d.Save_Click(); });

        EXPECT_FALSE(rig.port.hasAlertSetting());
        EXPECT_EQ(seen, (std::vector<bool>{true, false}));
        AppSettings saved = withAccount();
        saved.smsEmail = "new@example.org";
        saved.maxSms = cap;
        EXPECT_EQ(readFile(rig.folder / "setting.ini"), test::settingsText(saved));
        EXPECT_NE(rig.mainReader.requests.back().url.find("email=new@example.org&"), std::string::npos);

        rig.port.cmdSetting_Click();
        EXPECT_EQ(rig.port.alertSetting().controls().max_SMS.selectedIndex(), index) << cap;
        EXPECT_EQ(rig.port.alertSetting().controls().max_SMS.text(), cap); // no entry, yet shown as it is
        EXPECT_TRUE(rig.port.alertSetting().controls().alertSetting.visible());
    }
}

TEST(AlertSettingInMainWindow, CancelDropsTheEditsAndTheNextUseFillsAgain) {
    TestRig rig;
    rig.port.Form_Load();
    rig.port.cmdSetting_Click();
    rig.port.alertSetting().controls().smsEmail.setText("typed@example.org");
    const AppSettings before = rig.settings;
    rig.runtime.smsSentToday = 4;
    rig.port.alertSettingEvent([](AlertSetting& d) { d.Cancel_Click(); });
    EXPECT_FALSE(rig.port.hasAlertSetting());
    EXPECT_EQ(rig.settings, before);

    // The midnight reset creates the dialog hidden, filled again: hints and typed text are gone.
    rig.port.resetSmsTodayCaption();
    const AlertSettingControls& c = rig.port.alertSetting().controls();
    EXPECT_FALSE(c.alertSetting.visible());
    EXPECT_EQ(c.SMS_Today.text(), "SMS Sent Today : 0");
    EXPECT_EQ(c.smsEmail.text(), "");
    EXPECT_EQ(c.smsPhone.text(), "");
}

} // namespace
} // namespace wardel
