#include "app/sms_port.h"

#include <iterator>
#include <vector>

#include "common/time_format.h"
#include "hosts/host_list_file.h"
#include "settings/settings_file.h"

namespace wardel {

SMSPort::SMSPort(Platform& platform, std::filesystem::path folder)
    : platform_(platform), folder_(std::move(folder)), log_(platform.clock, settings_, logBox_, folder_),
      Timer1_(platform.timers.createTimer(1000, false)), Timer2_(platform.timers.createTimer(1000, false)),
      Timer3_(platform.timers.createTimer(1000, false)), Timer4_(platform.timers.createTimer(35000, true)),
      Timer5_(platform.timers.createTimer(60000, true)),
      hosts_({controls_.txtIpAddress, controls_.cbxPortSel, controls_.Description, controls_.num_Timeout}, grid_,
             platform.messages, log_, folder_ / kHostListFileName),
      gateway_(platform.clock, platform.mainReader, platform.creditReader, platform.messages, platform.window,
               controls_.Label4, controls_.Label7, settings_, runtime_, [this] { Form_Unload(); }),
      engine_(platform.clock, *Timer1_, *Timer2_, *Timer3_, platform.socket, platform.messages, grid_,
              {controls_.cmdMonitor, controls_.cmdAdd, controls_.Label2}, settings_, log_, alerts_) {
    trayDoubleClicks_ = platform_.tray.subscribeDoubleClick([this] { TrayDoubleClick(); });
    BindClickProcedures();
}

void SMSPort::BindClickProcedures() {
    auto& c = controls_;
    c.cmdAdd.setClickProcedure([this] { cmdAdd_Click(); });
    c.cmdDelete.setClickProcedure([this] { cmdDelete_Click(); });
    c.cmdSetting.setClickProcedure([this] { cmdSetting_Click(); });
    c.cmdMonitor.setClickProcedure([this] { cmdMonitor_Click(); });
    c.cmdLog.setClickProcedure([this] { cmdLog_Click(); });
    c.cmdExit.setClickProcedure([this] { cmdExit_Click(); });
    c.Label4.setClickProcedure([this] { Label4_Click(); });
}

void SMSPort::Form_Load() {
    auto& c = controls_;
    log_.WriteLog("Wardel Program Start Running");

    // The tip is the design caption, taken before the caption gets the version and start time.
    trayAdded_ = platform_.tray.add(c.SMSPort.text());

    c.cbxPortSel.setItems(std::vector<std::string>(std::begin(kPortChoices), std::end(kPortChoices)));
    c.cbxPortSel.select(5);
    c.num_Timeout.setItems(std::vector<std::string>(std::begin(kThresholdChoices), std::end(kThresholdChoices)));
    c.num_Timeout.select(4);
    for (int column = 0; column < HostTable::kColumns; ++column)
        grid_.setCell(0, column, kGridHeadings[column]);

    gateway_.state().setupLinkActive = true;
    gateway_.state().requestSeq = 0;
    c.SMSPort.setText("Wardel V4.2 " + FormatDateTime(platform_.clock.now()));
    runtime_.smsSentToday = 0;
    gateway_.state().gatewayLoggedIn = false;
    gateway_.state().lastRequestWasMail = false;

    hosts_.LoadHostList();
    LoadSettings();
    gateway_.GatewayLogon();
    if (settings_.startOnLaunch == 1)
        cmdMonitor_Click();
}

void SMSPort::Form_Unload() {
    if (ended_)
        return;
    ended_ = true;
    log_.WriteLog("Wardel Program Ended");
    if (platform_.socket.state() != ProbeSocket::Closed)
        platform_.socket.close();
    if (trayAdded_)
        platform_.tray.remove();
    platform_.window.endProgram();
}

void SMSPort::Form_Resize(bool minimized) {
    // Without a tray icon a hidden window could never come back, so it stays minimised instead.
    if (minimized && trayAdded_)
        platform_.window.hide();
}

void SMSPort::TrayDoubleClick() {
    WindowPort& window = platform_.window;
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

void SMSPort::LoadSettings() {
    const TimeLabels labels{controls_.lblTimeinterval, controls_.lblTimeout};
    if (wardel::LoadSettings(folder_ / kSettingsFileName, settings_, runtime_, labels) == SettingsLoad::Missing)
        ShowRecipientHints();
}

void SMSPort::SaveSettings() {
    wardel::SaveSettings(folder_ / kSettingsFileName, settings_, {controls_.lblTimeinterval, controls_.lblTimeout});
}

}  // namespace wardel
