#include "app/sms_port.h"

#include <algorithm>
#include <iterator>
#include <set>
#include <vector>

#include "common/numbers.h"
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
      gateway_(platform.clock, {platform.mainReader, platform.creditReader}, settings_, runtime_, log_,
               platform.messages, *this),
      alerts_(settings_, runtime_, gateway_, log_), notices_(platform.notifier, platform.timers),
      engine_(platform.clock, {*Timer1_, *Timer2_, *Timer3_}, platform.timers, platform.socket, platform.messages,
              grid_, {controls_.cmdMonitor, controls_.cmdAdd, controls_.Label2}, settings_, log_, sinks_),
      trayStatus_(grid_, engine_, platform.tray),
      notice_(platform.clock, {*Timer4_, *Timer5_}, settings_, runtime_, gateway_, logBox_, controls_.Label2, *this),
      history_(platform.clock, platform.timers, log_, folder_ / kHistoryFileName) {
    probeFinishes_ = engine_.subscribeProbeFinished([this](const FinishedProbe& probe) { history_.record(probe); });
    sinks_.add(alerts_);
    sinks_.add(notices_);
    if (platform.alertReader != nullptr) {
        alertmanagerRound_ = platform.timers.createTimer(60000, true);
        alertmanager_ =
            std::make_unique<AlertmanagerSink>(platform.clock, *alertmanagerRound_, *platform.alertReader, log_);
        sinks_.add(*alertmanager_);
    }
    trayDoubleClicks_ = platform_.tray.subscribeDoubleClick([this] { trayDoubleClick(); });
    grid_.setClock(&platform.clock);
    bindClickProcedures();
    // The logon takes the account from the settings dialog, which at start-up holds the saved one.
    gateway_.setLogonAccount([this] {
        const AlertSettingControls& c = alertSetting().controls();
        return GatewayClient::LogonAccount{c.smsEmail.text(), c.smsPassword.text()};
    });
}

SMSPort::~SMSPort() {
    grid_.setTipAddition({});
    gateway_.setLogonAccount({});
    if (alertSetting_)
        alertSettingChanged_.notify(nullptr);
}

void SMSPort::bindClickProcedures() {
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
    platform_.tray.add(c.SMSPort.text());
    trayAdded_ = true;

    c.cbxPortSel.setItems(std::vector<std::string>(std::begin(kPortChoices), std::end(kPortChoices)));
    c.cbxPortSel.select(5);
    c.num_Timeout.setItems(std::vector<std::string>(std::begin(kThresholdChoices), std::end(kThresholdChoices)));
    c.num_Timeout.select(4);
    for (int column = 0; column < HostTable::kColumns; ++column)
        grid_.setCell(0, column, kGridHeadings[column]);

    gateway_.reset();
    c.SMSPort.setText("Wardel V4.2 " + formatDateTime(platform_.clock.now()));
    runtime_.smsSentToday = 0;

    hosts_.LoadHostList();
    LoadSettings();
    if (alertmanager_)
        alertmanager_->setBaseUrl(loadAlertmanagerBase(folder_ / kAlertmanagerFileName));
    gateway_.GatewayLogon();
    if (settings_.startOnLaunch == 1)
        cmdMonitor_Click();
}

void SMSPort::openHistory() {
    if (historyOpened_)
        return;
    historyOpened_ = true;
    history_.open();
    // The tip adds the day's uptime and the last hour's median connect time, once the history can tell them.
    grid_.setTipAddition([this](const std::string& host, const std::string& port) {
        return historyTip(history_.store(), host, port, epochMs(platform_.clock.now()));
    });
}

std::unique_ptr<HistoryWindow> SMSPort::historyWindow(int row) {
    if (!grid_.isDataRow(row) || trim(grid_.cell(row, HostTable::colHost)).empty())
        return nullptr;
    return std::make_unique<HistoryWindow>(history_, platform_.clock,
                                           std::string(trim(grid_.cell(row, HostTable::colHost))),
                                           std::string(trim(grid_.cell(row, HostTable::colPort))));
}

void SMSPort::setSmsTodayCaption(const std::string& caption) {
    alertSetting().controls().SMS_Today.setText(caption);
}

void SMSPort::Form_Unload() {
    if (ended_)
        return;
    ended_ = true;
    log_.WriteLog("Wardel Program Ended");
    if (alertmanager_)
        alertmanager_->endAll();
    if (platform_.socket.state() != ProbeSocket::Closed)
        platform_.socket.close();
    if (trayAdded_)
        platform_.tray.remove();
    platform_.window.endProgram();
}

void SMSPort::Form_Resize(bool minimized) {
    // Without a tray showing the icon now a hidden window could not come back, so it stays minimised instead.
    if (minimized && platform_.tray.available())
        platform_.window.hide();
}

void SMSPort::trayDoubleClick() {
    WindowPort& window = platform_.window;
    window.setNormalState();
    window.bringToFront();
    window.center();
    window.show();
}

void SMSPort::cmdMonitor_Click() {
    const bool was = engine_.monitoring();
    engine_.cmdMonitor_Click();
    if (alertmanager_ && engine_.monitoring() != was)
        alertmanager_->setMonitoring(engine_.monitoring());
}

void SMSPort::cmdDelete_Click() {
    if (!alertmanager_)
        return hosts_.cmdDelete_Click();
    // The rows that held an alert marker before and are gone after end their alerts.
    const auto alerted = [this] {
        std::multiset<std::vector<std::string>> rows;
        for (int row = 1; row < grid_.rowCount(); ++row) {
            const HostEntry entry = grid_.entry(row);
            if (entry.alert == "1")
                rows.insert({entry.host, entry.port, entry.description});
        }
        return rows;
    };
    const auto before = alerted();
    hosts_.cmdDelete_Click();
    const auto after = alerted();
    std::vector<std::vector<std::string>> gone;
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(gone));
    for (const auto& row : gone)
        alertmanager_->endTarget(row[0], row[1], row[2]);
}

bool SMSPort::saveAlertmanagerBase(const std::string& base) {
    if (!wardel::saveAlertmanagerBase(folder_ / kAlertmanagerFileName, base))
        return false;
    if (alertmanager_)
        alertmanager_->setBaseUrl(loadAlertmanagerBase(folder_ / kAlertmanagerFileName));
    return true;
}

void SMSPort::cmdSetting_Click() {
    alertSetting().show();
}

AlertSetting& SMSPort::alertSetting() {
    if (!alertSetting_) {
        AlertSetting::Requests requests{[this] { gateway_.GatewayLogon(); }, [this] { return SaveSettings(); },
                                        [this] { closeAlertSetting(); }};
        alertSetting_ = std::make_unique<AlertSetting>(settings_, runtime_, platform_.messages, platform_.shell,
                                                       gateway_.gatewayBase(), std::move(requests));
        alertSettingChanged_.notify(alertSetting_.get());
    }
    return *alertSetting_;
}

void SMSPort::alertSettingEvent(const std::function<void(AlertSetting&)>& action) {
    if (!alertSetting_)
        return;
    ++alertSettingEvents_;
    action(*alertSetting_);
    --alertSettingEvents_;
    if (alertSettingEvents_ == 0 && alertSettingCloseAsked_)
        closeAlertSetting();
}

void SMSPort::closeAlertSetting() {
    // A dialog never dies inside its own handler: the event that asked ends first.
    if (alertSettingEvents_ > 0) {
        alertSettingCloseAsked_ = true;
        return;
    }
    alertSettingCloseAsked_ = false;
    if (!alertSetting_)
        return;
    alertSettingChanged_.notify(nullptr);
    alertSetting_.reset();
}

Subscription SMSPort::subscribeAlertSetting(std::function<void(AlertSetting*)> observer) {
    Subscription subscription = alertSettingChanged_.subscribe(std::move(observer));
    if (alertSetting_)
        alertSettingChanged_.notify(alertSetting_.get());
    return subscription;
}

void SMSPort::Label4_Click() {
    if (gateway_.state().setupLinkActive)
        cmdSetting_Click();
}

void SMSPort::LoadSettings() {
    const TimeLabels labels{controls_.lblTimeinterval, controls_.lblTimeout};
    if (wardel::LoadSettings(folder_ / kSettingsFileName, settings_, runtime_, labels) == SettingsLoad::Missing)
        alertSetting().ShowRecipientHints();
}

bool SMSPort::SaveSettings() {
    return wardel::SaveSettings(folder_ / kSettingsFileName, settings_,
                                {controls_.lblTimeinterval, controls_.lblTimeout});
}

} // namespace wardel
