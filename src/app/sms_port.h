#pragma once

#include "alerts/alert_dispatch.h"
#include "alerts/alive_notice.h"
#include "alerts/gateway_client.h"
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
    void ShowRecipientHints() {} // the settings dialog's recipient hints; nothing to show until it exists
    void SetTimeLabels();
    // The settings dialog's SMS_Today caption; nothing to set until the dialog exists.
    void setSmsTodayCaption(const std::string&) override {}

    AppContext& ctx_;
    HostEditor hosts_;
    GatewayClient gateway_;
    AlertDispatch alerts_;
    MonitorEngine engine_;
    AliveNotice notice_;
    bool trayAdded_ = false;
    bool ended_ = false;
};

} // namespace wardel
