#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "alerts/alert_dispatch.h"
#include "alerts/alertmanager_sink.h"
#include "alerts/alive_notice.h"
#include "alerts/desktop_notice.h"
#include "alerts/gateway_client.h"
#include "app/alert_setting.h"
#include "app/history_window.h"
#include "app/main_controls.h"
#include "app/platform.h"
#include "app/tray_status.h"
#include "common/subscription.h"
#include "history/history_recorder.h"
#include "hosts/host_editor.h"
#include "hosts/host_table.h"
#include "log/event_log.h"
#include "log/log_box.h"
#include "monitor/monitor_engine.h"
#include "platform/clock.h"
#include "platform/desktop_notifier.h"
#include "platform/message_box.h"
#include "platform/probe_socket.h"
#include "platform/shell.h"
#include "platform/timer.h"
#include "platform/tray_icon.h"
#include "platform/url_fetcher.h"
#include "platform/window_port.h"
#include "settings/app_settings.h"

namespace wardel {

// The main window SMSPort as a presentation model, and the one place that wires the program together: it
// owns what lives once for the whole run (the settings, the controls, the grid, the log and the five
// timers) and the subsystems, and hands each subsystem only what it uses. It runs the start-up and the
// shutdown sequence, hides into the tray and comes back, and takes the operator's clicks; the widgets only
// show its control values and forward what the operator does.
class SMSPort : private SmsTodayCaption, private GatewayObserver {
public:
    // "\?" keeps a run of question marks from reading as a trigraph.
    static constexpr const char* kPortChoices[] = {
        "FTP   (21)", "SSH   (22)", "TELN  (23)",    "SMTP  (25)",        "DNS   (53)",   "WWW   (80)",
        "POP3 (110)", "IMAP (443)", "MS SQL (1433)", "Oracle SQL (1521)", "MYSQL (3306)", "Others (??\?\?)"};
    static constexpr const char* kThresholdChoices[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "15", "20"};
    static constexpr const char* kGridHeadings[] = {
        "Host Name / IP Address", "Port", "Last Status", "Description", "Alert", "Timeout #", "Count"};

    // `folder` is the program's own folder: setting.ini, host.ini, log_mmdd.txt.
    SMSPort(Platform& platform, std::filesystem::path folder);
    ~SMSPort() override;
    SMSPort(const SMSPort&) = delete;
    SMSPort& operator=(const SMSPort&) = delete;

    // Window load: the start-up sequence, once.
    void Form_Load();
    // Window unload (close box, Exit, a signal to end, a failed logon): the shutdown sequence, once.
    void Form_Unload();
    // Every resize of the window; a minimised window hides into the tray.
    void Form_Resize(bool minimized);
    // A double-click on the tray icon.
    void trayDoubleClick();

    void cmdAdd_Click() { hosts_.cmdAdd_Click(); }
    void cmdDelete_Click();
    void grdHotGrid_Click(int row) { hosts_.grdHotGrid_Click(row); }
    void cmdMonitor_Click();
    void cmdLog_Click() { log_.cmdLog_Click(platform_.shell); }
    void cmdSetting_Click();
    void cmdExit_Click() { Form_Unload(); }
    void Label4_Click();

    void LoadSettings();
    bool SaveSettings();

    // The settings dialog, created hidden and filled from the settings at its first use.
    AlertSetting& alertSetting();
    bool hasAlertSetting() const { return alertSetting_ != nullptr; }
    // Runs an operator action of the settings dialog; a dialog that asked to close is destroyed after it.
    void alertSettingEvent(const std::function<void(AlertSetting&)>& action);
    // Tells the one observer of each new settings dialog, and with null just before the dialog is destroyed.
    // A dialog that exists already is told at once.
    Subscription subscribeAlertSetting(std::function<void(AlertSetting*)> observer);
    // The midnight reset's part of the dialog: its count shows 0 again.
    void resetSmsTodayCaption() { alertSetting().resetSmsTodayCaption(); }
    // The window's one public operation: the I-am-alive notice's halves that are due.
    void sch_Notify(bool bMail, bool bSMS) { notice_.sch_Notify(bMail, bSMS); }

    bool ended() const { return ended_; }

    // The probe history, history.db: opened once the window has been painted, so the start-up never waits
    // for the disk.
    void openHistory();
    HistoryRecorder& history() { return history_; }
    // The History window of a grid row's target; none for a row without a host.
    std::unique_ptr<HistoryWindow> historyWindow(int row);

    // What the window shows.
    MainControls& controls() { return controls_; }
    HostTable& grid() { return grid_; }
    LogBox& logBox() { return logBox_; }

    AppSettings& settings() { return settings_; }
    RuntimeValues& runtime() { return runtime_; }
    EventLog& eventLog() { return log_; }
    HostEditor& hosts() { return hosts_; }
    MonitorEngine& engine() { return engine_; }
    GatewayClient& gateway() { return gateway_; }
    AlertDispatch& alerts() { return alerts_; }
    AliveNotice& notice() { return notice_; }
    // Null without a reader for it.
    AlertmanagerSink* alertmanager() { return alertmanager_.get(); }
    // alertmanager.ini in the files folder, and the forwarding with it; false when the file was not written.
    bool saveAlertmanagerBase(const std::string& base);
    // The engine's pause between cycles and its probe timeout.
    const Timer& Timer1() const { return *Timer1_; }
    const Timer& Timer2() const { return *Timer2_; }
    TrayIcon::State trayState() const { return trayStatus_.state(); }

private:
    void bindClickProcedures();
    void closeAlertSetting();
    // The settings dialog's SMS_Today caption at midnight.
    void setSmsTodayCaption(const std::string& caption) override;
    // What the gateway's state shows: Label4, Label7, the window a logon shows, and the unload after a logon
    // reply that cannot be read.
    void showMainWindow() override { platform_.window.show(); }
    void showAccountState(const std::string& text) override { controls_.Label4.setText(text); }
    void showCredit(const std::string& creditText) override { controls_.Label7.setText(creditText); }
    void setCreditVisible(bool visible) override { controls_.Label7.setVisible(visible); }
    void unloadMainWindow() override { Form_Unload(); }

    Platform& platform_;
    std::filesystem::path folder_;
    AppSettings settings_;
    RuntimeValues runtime_;
    MainControls controls_;
    HostTable grid_; // grdHotGrid
    LogBox logBox_;  // txtLog
    EventLog log_;

    std::unique_ptr<Timer> Timer1_; // pause between cycles
    std::unique_ptr<Timer> Timer2_; // probe timeout
    std::unique_ptr<Timer> Timer3_; // one-second pause inside a cycle
    std::unique_ptr<Timer> Timer4_; // midnight check
    std::unique_ptr<Timer> Timer5_; // minute task

    HostEditor hosts_;
    GatewayClient gateway_;
    AlertDispatch alerts_;
    DesktopNotice notices_; // the alerts to the desktop
    AlertSinks sinks_;      // where every alert goes: the gateway, the desktop
    MonitorEngine engine_;
    TrayStatus trayStatus_;
    std::unique_ptr<AlertSetting> alertSetting_;
    SingleObserver<AlertSetting*> alertSettingChanged_;
    int alertSettingEvents_ = 0; // operator actions of the dialog under way
    bool alertSettingCloseAsked_ = false;
    AliveNotice notice_;
    HistoryRecorder history_;
    bool historyOpened_ = false;
    Subscription probeFinishes_;
    std::unique_ptr<Timer> alertmanagerRound_;
    std::unique_ptr<AlertmanagerSink> alertmanager_;
    Subscription trayDoubleClicks_;
    bool trayAdded_ = false;
    bool ended_ = false;
};

} // namespace wardel
