#pragma once

#include <functional>
#include <memory>

#include "alerts/alert_dispatch.h"
#include "alerts/alive_notice.h"
#include "alerts/gateway_client.h"
#include "app/alert_setting.h"
#include "app/app_context.h"
#include "hosts/host_editor.h"
#include "monitor/monitor_engine.h"

namespace wardel {

// The main window SMSPort as a presentation model. It owns the subsystems, runs the start-up and the
// shutdown sequence, hides into the tray and comes back, and takes the operator's clicks; the widgets only
// show its control values and forward what the operator does.
class SMSPort : private SmsTodayCaption {
public:
    static constexpr const char* kPortChoices[] = {
        "FTP   (21)", "SSH   (22)", "TELN  (23)",    "SMTP  (25)",        "DNS   (53)",   "WWW   (80)",
        "POP3 (110)", "IMAP (443)", "MS SQL (1433)", "Oracle SQL (1521)", "MYSQL (3306)", "Others (????)"};
    static constexpr const char* kThresholdChoices[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "15", "20"};
    static constexpr const char* kGridHeadings[] = {
        "Host Name / IP Address", "Port", "Last Status", "Description", "Alert", "Timeout #", "Count"};

    explicit SMSPort(AppContext& ctx);
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
    void TrayDoubleClick();

    void cmdAdd_Click() { hosts_.cmdAdd_Click(); }
    void cmdDelete_Click() { hosts_.cmdDelete_Click(); }
    void grdHotGrid_Click(int row) { hosts_.grdHotGrid_Click(row); }
    void cmdMonitor_Click() { engine_.cmdMonitor_Click(); }
    void cmdLog_Click() { ctx_.log.cmdLog_Click(ctx_.platform.shell); }
    void cmdSetting_Click();
    void cmdExit_Click() { Form_Unload(); }
    void Label4_Click();

    void LoadSettings();
    void SaveSettings();

    // The settings dialog, created hidden and filled from the settings at its first use.
    AlertSetting& alertSetting();
    bool hasAlertSetting() const { return alertSetting_ != nullptr; }
    // Runs an operator action of the settings dialog; a dialog that asked to close is destroyed after it.
    void AlertSettingEvent(const std::function<void(AlertSetting&)>& action);
    // Told of each new settings dialog, and with null just before the dialog is destroyed.
    void setAlertSettingObserver(std::function<void(AlertSetting*)> observer);
    // The midnight reset's part of the dialog: its count shows 0 again.
    void ResetSmsTodayCaption() { alertSetting().ResetSmsTodayCaption(); }
    // The window's one public operation: the I-am-alive notice's halves that are due.
    void sch_Notify(bool bMail, bool bSMS) { notice_.sch_Notify(bMail, bSMS); }

    bool ended() const { return ended_; }
    AppContext& context() { return ctx_; }
    HostEditor& hosts() { return hosts_; }
    MonitorEngine& engine() { return engine_; }
    GatewayClient& gateway() { return gateway_; }
    AlertDispatch& alerts() { return alerts_; }
    AliveNotice& notice() { return notice_; }

private:
    void SetTimeLabels();
    void CloseAlertSetting();
    // The settings dialog's SMS_Today caption at midnight.
    void setSmsTodayCaption(const std::string& caption) override;

    AppContext& ctx_;
    HostEditor hosts_;
    GatewayClient gateway_;
    AlertDispatch alerts_;
    MonitorEngine engine_;
    std::unique_ptr<AlertSetting> alertSetting_;
    std::function<void(AlertSetting*)> alertSettingObserver_;
    int alertSettingEvents_ = 0; // operator actions of the dialog under way
    bool alertSettingCloseAsked_ = false;
    AliveNotice notice_;
    bool trayAdded_ = false;
    bool ended_ = false;
};

} // namespace wardel
