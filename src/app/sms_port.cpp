#include "app/sms_port.h"

#include <iterator>
#include <vector>

#include "common/time_format.h"
#include "settings/settings_file.h"

namespace wardel {

SMSPort::SMSPort(AppContext& ctx) : ctx_(ctx), hosts_(ctx), gateway_(ctx), engine_(ctx, alerts_) {
    ctx_.unloadMainWindow = [this] { Form_Unload(); };
    ctx_.platform.tray.setDoubleClickHandler([this] { TrayDoubleClick(); });
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

void SMSPort::cmdSetting_Click() {}

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
        ShowRecipientHints();
        return;
    }
    SetTimeLabels();
}

void SMSPort::SaveSettings() {
    if (SaveSettingsFile(ctx_.folder / kSettingsFileName, ctx_.settings))
        SetTimeLabels();
}

}  // namespace wardel
