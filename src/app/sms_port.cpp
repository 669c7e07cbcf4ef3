#include "app/sms_port.h"

#include <iterator>
#include <vector>

#include "app/time_format.h"
#include "settings/settings_file.h"

namespace wardel {

SMSPort::SMSPort(AppContext& ctx)
    : ctx_(ctx), hosts_(ctx), gateway_(ctx), alerts_(ctx.settings, ctx.runtime, gateway_, ctx.log),
      engine_(ctx, alerts_), notice_(ctx.platform.clock, *ctx.Timer4, *ctx.Timer5, ctx.settings, ctx.runtime, gateway_,
                                     ctx.log, ctx.logBox, ctx.controls.Label2, *this) {
    ctx_.unloadMainWindow = [this] { Form_Unload(); };
    ctx_.platform.tray.setDoubleClickHandler([this] { TrayDoubleClick(); });
    // The logon takes the account from the settings dialog, which at start-up holds the saved one.
    gateway_.setLogonAccount([this] {
        const AlertSettingControls& c = alertSetting().controls();
        return GatewayClient::LogonAccount{c.smsEmail.text(), c.smsPassword.text()};
    });
}

SMSPort::~SMSPort() {
    gateway_.setLogonAccount({});
    if (alertSetting_ && alertSettingObserver_)
        alertSettingObserver_(nullptr);
}

void SMSPort::Form_Load() {
    auto& c = ctx_.controls;
    ctx_.WriteLog("Wardel Program Start Running");

    // The tip is the design caption, taken before the caption gets the version and start time.
    trayAdded_ = ctx_.platform.tray.add(c.SMSPort.text());

    c.cbxPortSel.setItems(std::vector<std::string>(std::begin(kPortChoices), std::end(kPortChoices)));
    c.cbxPortSel.select(5);
    c.num_Timeout.setItems(std::vector<std::string>(std::begin(kThresholdChoices), std::end(kThresholdChoices)));
    c.num_Timeout.select(4);
    for (int column = 0; column < HostTable::kColumns; ++column)
        ctx_.grid.setCell(0, column, kGridHeadings[column]);

    gateway_.state().setupLinkActive = true;
    gateway_.state().requestSeq = 0;
    c.SMSPort.setText("Wardel V4.2 " + FormatDateTime(ctx_.platform.clock.now()));
    ctx_.runtime.smsSentToday = 0;
    gateway_.state().gatewayLoggedIn = false;
    gateway_.state().lastRequestWasMail = false;

    hosts_.LoadHostList();
    LoadSettings();
    gateway_.GatewayLogon();
    if (ctx_.settings.startOnLaunch == 1)
        cmdMonitor_Click();
}

void SMSPort::setSmsTodayCaption(const std::string& caption) {
    alertSetting().controls().SMS_Today.setText(caption);
}

void SMSPort::Form_Unload() {
    if (ended_)
        return;
    ended_ = true;
    ctx_.WriteLog("Wardel Program Ended");
    if (ctx_.platform.socket.state() != ProbeSocket::Closed)
        ctx_.platform.socket.close();
    if (trayAdded_)
        ctx_.platform.tray.remove();
    ctx_.platform.window.endProgram();
}

void SMSPort::Form_Resize(bool minimized) {
    // Without a tray icon a hidden window could never come back, so it stays minimised instead.
    if (minimized && trayAdded_)
        ctx_.platform.window.hide();
}

void SMSPort::TrayDoubleClick() {
    WindowPort& window = ctx_.platform.window;
    window.setNormalState();
    window.bringToFront();
    window.center();
    window.show();
}

void SMSPort::cmdSetting_Click() {
    alertSetting().Show();
}

AlertSetting& SMSPort::alertSetting() {
    if (!alertSetting_) {
        AlertSetting::Requests requests{[this] { gateway_.GatewayLogon(); }, [this] { SaveSettings(); },
                                        [this] { CloseAlertSetting(); }};
        alertSetting_ =
            std::make_unique<AlertSetting>(ctx_.settings, ctx_.runtime, ctx_.platform.messages, ctx_.platform.shell,
                                           gateway_.gatewayBase(), std::move(requests));
        if (alertSettingObserver_)
            alertSettingObserver_(alertSetting_.get());
    }
    return *alertSetting_;
}

void SMSPort::AlertSettingEvent(const std::function<void(AlertSetting&)>& action) {
    if (!alertSetting_)
        return;
    ++alertSettingEvents_;
    action(*alertSetting_);
    --alertSettingEvents_;
    if (alertSettingEvents_ == 0 && alertSettingCloseAsked_)
        CloseAlertSetting();
}

void SMSPort::CloseAlertSetting() {
    // A dialog never dies inside its own handler: the event that asked ends first.
    if (alertSettingEvents_ > 0) {
        alertSettingCloseAsked_ = true;
        return;
    }
    alertSettingCloseAsked_ = false;
    if (!alertSetting_)
        return;
    if (alertSettingObserver_)
        alertSettingObserver_(nullptr);
    alertSetting_.reset();
}

void SMSPort::setAlertSettingObserver(std::function<void(AlertSetting*)> observer) {
    alertSettingObserver_ = std::move(observer);
    if (alertSetting_ && alertSettingObserver_)
        alertSettingObserver_(alertSetting_.get());
}

void SMSPort::Label4_Click() {
    if (gateway_.state().setupLinkActive)
        cmdSetting_Click();
}

void SMSPort::SetTimeLabels() {
    ctx_.controls.lblTimeinterval.setText(TimeIntervalCaption(ctx_.settings));
    ctx_.controls.lblTimeout.setText(TimeOutCaption(ctx_.settings));
}

void SMSPort::LoadSettings() {
    if (LoadSettingsFile(ctx_.folder / kSettingsFileName, ctx_.settings, ctx_.runtime) == SettingsLoad::Missing) {
        alertSetting().ShowRecipientHints();
        return;
    }
    SetTimeLabels();
}

void SMSPort::SaveSettings() {
    if (SaveSettingsFile(ctx_.folder / kSettingsFileName, ctx_.settings))
        SetTimeLabels();
}

} // namespace wardel
