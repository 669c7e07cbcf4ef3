#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "app/main_controls.h"
#include "app/platform.h"
#include "common/subscription.h"
#include "hosts/host_table.h"
#include "log/log_box.h"
#include "platform/tray_icon.h"
#include "settings/app_settings.h"

namespace wardel {

class AlertDispatch;
class AlertSetting;
class AlertmanagerSink;
class AliveNotice;
class EventLog;
class GatewayClient;
class HistoryRecorder;
class HistoryWindow;
class HostEditor;
class MonitorEngine;
class Timer;
struct Wiring;

// The main window SMSPort as a presentation model: it owns what lives once for the whole run (the settings,
// the controls, the grid, the log box) and the program's composition (`Wiring`, app/wiring.h), which builds
// the subsystems and hands each only what it uses. It runs the start-up and the
// shutdown sequence, hides into the tray and comes back, and takes the operator's clicks; the widgets only
// show its control values and forward what the operator does.
class SMSPort {
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
    ~SMSPort();
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

    void cmdAdd_Click();
    void cmdDelete_Click();
    void grdHotGrid_Click(int row);
    void cmdMonitor_Click();
    void cmdLog_Click();
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
    void resetSmsTodayCaption();
    // The window's one public operation: the I-am-alive notice's halves that are due.
    void sch_Notify(bool bMail, bool bSMS);

    bool ended() const { return ended_; }

    // The probe history, history.db: opened once the window has been painted, so the start-up never waits
    // for the disk.
    void openHistory();
    HistoryRecorder& history();
    // The History window of a grid row's target; none for a row without a host.
    std::unique_ptr<HistoryWindow> historyWindow(int row);

    // What the window shows.
    MainControls& controls() { return controls_; }
    HostTable& grid() { return grid_; }
    LogBox& logBox() { return logBox_; }

    AppSettings& settings() { return settings_; }
    RuntimeValues& runtime() { return runtime_; }
    // The subsystems, complete in app/wiring.h.
    EventLog& eventLog();
    HostEditor& hosts();
    MonitorEngine& engine();
    GatewayClient& gateway();
    AlertDispatch& alerts();
    AliveNotice& notice();
    // Null without a reader for it.
    AlertmanagerSink* alertmanager();
    // alertmanager.ini in the files folder, and the forwarding with it; false when the file was not written.
    bool saveAlertmanagerBase(const std::string& base);
    // The engine's pause between cycles and its probe timeout.
    const Timer& Timer1() const;
    const Timer& Timer2() const;
    TrayIcon::State trayState() const;

private:
    void bindClickProcedures();
    void closeAlertSetting();

    Platform& platform_;
    std::filesystem::path folder_;
    AppSettings settings_;
    RuntimeValues runtime_;
    MainControls controls_;
    HostTable grid_; // grdHotGrid
    LogBox logBox_;  // txtLog
    std::unique_ptr<Wiring> wiring_;
    std::unique_ptr<AlertSetting> alertSetting_;
    SingleObserver<AlertSetting*> alertSettingChanged_;
    int alertSettingEvents_ = 0; // operator actions of the dialog under way
    bool alertSettingCloseAsked_ = false;
    bool historyOpened_ = false;
    Subscription trayDoubleClicks_;
    bool trayAdded_ = false;
    bool ended_ = false;
};

} // namespace wardel
