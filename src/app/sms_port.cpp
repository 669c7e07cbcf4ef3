#include "app/sms_port.h"

#include <algorithm>
#include <iterator>
#include <set>
#include <vector>

#include "app/alert_setting.h"
#include "app/history_window.h"
#include "app/wiring.h"
#include "common/numbers.h"
#include "common/time_format.h"
#include "hosts/host_list_file.h"
#include "platform/probe_socket.h"
#include "platform/shell.h"
#include "platform/window_port.h"
#include "settings/settings_file.h"

namespace wardel {

SMSPort::SMSPort(Platform& platform, std::filesystem::path folder)
    : platform_(platform), folder_(std::move(folder)), wiring_(std::make_unique<Wiring>(*this, platform, folder_)) {
    trayDoubleClicks_ = platform_.tray.subscribeDoubleClick([this] { trayDoubleClick(); });
    grid_.setClock(&platform.clock);
    bindClickProcedures();
    // The logon takes the account from the settings dialog, which at start-up holds the saved one.
    gateway().setLogonAccount([this] {
        const AlertSettingControls& c = alertSetting().controls();
        return GatewayClient::LogonAccount{c.smsEmail.text(), c.smsPassword.text()};
    });
}

SMSPort::~SMSPort() {
    grid_.setTipAddition({});
    wiring_->gateway.setLogonAccount({});
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
    wiring_->log.WriteLog("Wardel Program Start Running");

    // The tip is the design caption, taken before the caption gets the version and start time.
    platform_.tray.add(c.SMSPort.text());
    trayAdded_ = true;

    c.cbxPortSel.setItems(std::vector<std::string>(std::begin(kPortChoices), std::end(kPortChoices)));
    c.cbxPortSel.select(5);
    c.num_Timeout.setItems(std::vector<std::string>(std::begin(kThresholdChoices), std::end(kThresholdChoices)));
    c.num_Timeout.select(4);
    for (int column = 0; column < HostTable::kColumns; ++column)
        grid_.setCell(0, column, kGridHeadings[column]);

    wiring_->gateway.reset();
    c.SMSPort.setText("Wardel V4.2 " + formatDateTime(platform_.clock.now()));
    runtime_.smsSentToday = 0;

    wiring_->hosts.LoadHostList();
    LoadSettings();
    if (wiring_->alertmanager)
        wiring_->alertmanager->setBaseUrl(loadAlertmanagerBase(folder_ / kAlertmanagerFileName));
    wiring_->gateway.GatewayLogon();
    if (settings_.startOnLaunch == 1)
        cmdMonitor_Click();
}

void SMSPort::openHistory() {
    if (historyOpened_)
        return;
    historyOpened_ = true;
    wiring_->history.open();
    // The tip adds the day's uptime and the last hour's median connect time, once the history can tell them.
    grid_.setTipAddition([this](const std::string& host, const std::string& port) {
        return historyTip(wiring_->history.store(), host, port, epochMs(platform_.clock.now()));
    });
}

std::unique_ptr<HistoryWindow> SMSPort::historyWindow(int row) {
    if (!grid_.isDataRow(row) || trim(grid_.cell(row, HostTable::colHost)).empty())
        return nullptr;
    return std::make_unique<HistoryWindow>(wiring_->history, platform_.clock,
                                           std::string(trim(grid_.cell(row, HostTable::colHost))),
                                           std::string(trim(grid_.cell(row, HostTable::colPort))));
}

void SMSPort::Form_Unload() {
    if (ended_)
        return;
    ended_ = true;
    wiring_->log.WriteLog("Wardel Program Ended");
    if (wiring_->alertmanager)
        wiring_->alertmanager->endAll();
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
    const bool was = wiring_->engine.monitoring();
    wiring_->engine.cmdMonitor_Click();
    if (wiring_->alertmanager && wiring_->engine.monitoring() != was)
        wiring_->alertmanager->setMonitoring(wiring_->engine.monitoring());
}

void SMSPort::cmdDelete_Click() {
    if (!wiring_->alertmanager)
        return wiring_->hosts.cmdDelete_Click();
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
    wiring_->hosts.cmdDelete_Click();
    const auto after = alerted();
    std::vector<std::vector<std::string>> gone;
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(gone));
    for (const auto& row : gone)
        wiring_->alertmanager->endTarget(row[0], row[1], row[2]);
}

bool SMSPort::saveAlertmanagerBase(const std::string& base) {
    if (!wardel::saveAlertmanagerBase(folder_ / kAlertmanagerFileName, base))
        return false;
    if (wiring_->alertmanager)
        wiring_->alertmanager->setBaseUrl(loadAlertmanagerBase(folder_ / kAlertmanagerFileName));
    return true;
}

void SMSPort::cmdSetting_Click() {
    alertSetting().show();
}

AlertSetting& SMSPort::alertSetting() {
    if (!alertSetting_) {
        AlertSetting::Requests requests{[this] { wiring_->gateway.GatewayLogon(); }, [this] { return SaveSettings(); },
                                        [this] { closeAlertSetting(); }};
        alertSetting_ = std::make_unique<AlertSetting>(settings_, runtime_, platform_.messages, platform_.shell,
                                                       gateway().gatewayBase(), std::move(requests));
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
    if (wiring_->gateway.state().setupLinkActive)
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

void SMSPort::cmdAdd_Click() {
    hosts().cmdAdd_Click();
}

void SMSPort::grdHotGrid_Click(int row) {
    hosts().grdHotGrid_Click(row);
}

void SMSPort::cmdLog_Click() {
    eventLog().cmdLog_Click(platform_.shell);
}

void SMSPort::resetSmsTodayCaption() {
    alertSetting().resetSmsTodayCaption();
}

void SMSPort::sch_Notify(bool bMail, bool bSMS) {
    notice().sch_Notify(bMail, bSMS);
}

HistoryRecorder& SMSPort::history() {
    return wiring_->history;
}
EventLog& SMSPort::eventLog() {
    return wiring_->log;
}
HostEditor& SMSPort::hosts() {
    return wiring_->hosts;
}
MonitorEngine& SMSPort::engine() {
    return wiring_->engine;
}
GatewayClient& SMSPort::gateway() {
    return wiring_->gateway;
}
AlertDispatch& SMSPort::alerts() {
    return wiring_->alerts;
}
AliveNotice& SMSPort::notice() {
    return wiring_->notice;
}
AlertmanagerSink* SMSPort::alertmanager() {
    return wiring_->alertmanager.get();
}
const Timer& SMSPort::Timer1() const {
    return *wiring_->Timer1;
}
const Timer& SMSPort::Timer2() const {
    return *wiring_->Timer2;
}
TrayIcon::State SMSPort::trayState() const {
    return wiring_->trayStatus.state();
}

} // namespace wardel
