// wardel-screenshots: renders the settings dialog and the main window off screen and writes them as PNGs,
// for the README: the main window at its design size, and grown with a longer table. The main window shows
// a monitoring session made up here: nothing is probed or sent.
// Usage: wardel-screenshots <settings.png> <main-window.png> <main-window-grown.png>

#include <QApplication>
#include <QCoreApplication>
#include <QPixmap>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "app/alert_setting.h"
#include "app/sms_port.h"
#include "app/wiring.h"
#include "build_config.h"
#include "hosts/host_list_file.h"
#include "platform/qt/qt_probe_socket.h"
#include "platform/qt/qt_timer.h"
#include "platform/qt/qt_url_fetcher.h"
#include "ui/alert_setting_dialog.h"
#include "ui/main_window.h"

namespace {

class NoMessages : public wardel::MessageBox {
public:
    void show(const std::string&, std::function<void()>) override {}
};

class NoShell : public wardel::Shell {
public:
    bool openFile(const std::string&) override { return false; }
    bool openUrl(const std::string&) override { return false; }
    void chooseExistingFile(const std::string&, const std::string&, std::function<void(const std::string&)>) override {}
};

class NoTray : public wardel::TrayIcon {
public:
    bool available() const override { return false; }
    void add(const std::string&) override {}
    void remove() override {}
    void showState(State) override {}
};

class NoNotices : public wardel::DesktopNotifier {
public:
    void notify(const std::string&, const std::string&, Urgency, const std::string&) override {}
};

// A clock the picture sets by hand, so every run draws the same times.
class SetClock : public wardel::Clock {
public:
    wardel::LocalDateTime now() const override { return at; }
    wardel::LocalDateTime at{2026, 12, 6, 9, 30, 0};
};

bool saveSettingsDialog(const QString& file) {
    wardel::AppSettings settings;
    settings.alertEnabled = 1;
    settings.smsEmail = "ops@example.com";
    settings.smsPassword = "secret";
    settings.smsPhone = "+15551234567";
    settings.maxSms = "20";
    settings.aliveEnabled = 1;
    settings.aliveMailTo = "ops@example.com";
    wardel::RuntimeValues runtime;
    runtime.smsSentToday = 2;
    NoMessages messages;
    NoShell shell;
    wardel::AlertSetting model(settings, runtime, messages, shell, WARDEL_GATEWAY_BASE,
                               {[] {}, [] { return true; }, [] {}});
    wardel::qt::AlertSettingDialog dialog(model, [&model](const auto& action) { action(model); });
    model.show();
    return dialog.grab().save(file);
}

bool saveMainWindow(const QString& file, const QString& grownFile) {
    using wardel::HostTable;
    QTemporaryDir folder;
    const std::string path = folder.path().toStdString();
    std::FILE* hosts = std::fopen((path + "/" + wardel::kHostListFileName).c_str(), "wb");
    if (hosts == nullptr)
        return false;
    std::fputs("\"192.168.1.10\",\"22\",\"build server\",\"3\"\r\n"
               "\"mail.example.net\",\"25\",\"mail relay\",\"2\"\r\n"
               "\"www.example.net\",\"80\",\"web shop\",\"1\"\r\n"
               "\"10.0.0.5\",\"3306\",\"orders database\",\"2\"\r\n"
               "\"10.0.0.7\",\"1521\",\"reports\",\"5\"\r\n",
               hosts);
    std::fclose(hosts);

    SetClock clock;
    wardel::qt::QtTimerSource timers;
    wardel::qt::QtProbeSocket socket;
    wardel::qt::QtUrlFetcher mainReader, creditReader;
    NoMessages messages;
    NoTray tray;
    NoShell shell;
    wardel::qt::MainWindow window;
    NoNotices notifier;
    wardel::Platform platform{.clock = clock,
                              .timers = timers,
                              .socket = socket,
                              .mainReader = mainReader,
                              .creditReader = creditReader,
                              .messages = messages,
                              .tray = tray,
                              .shell = shell,
                              .window = window,
                              .notifier = notifier};
    wardel::SMSPort port(platform, path);
    window.attach(port);
    port.Form_Load();

    // One cycle as the monitor would have shown and logged it.
    const auto at = [&](int minute, int second) { clock.at = {2026, 12, 6, 9, minute, second}; };
    // Monitoring is not started: its captions are set instead, so that no probe leaves the machine.
    auto& c = port.controls();
    at(30, 0);
    port.eventLog().WriteLog("Monitoring Started");
    c.cmdMonitor.setText("&Stop Monitor");
    c.Label2.setVisible(true);
    struct Outcome {
        int row;
        const char* status;
        const char* alert;
        const char* count;
        int second;
    };
    HostTable& grid = port.grid();
    for (const Outcome& o : {Outcome{1, "ALIVE(09:30:01)", "", "0", 1}, Outcome{2, "ALIVE(09:30:02)", "", "0", 2},
                             Outcome{3, "Timeout(09:30:33)", "1", "0", 33}, Outcome{4, "Down(09:30:34)", "", "1", 34},
                             Outcome{5, "ALIVE(09:30:35)", "", "0", 35}}) {
        grid.setCell(o.row, HostTable::colLastStatus, o.status);
        grid.setCell(o.row, HostTable::colAlert, o.alert);
        grid.setCell(o.row, HostTable::colCount, o.count);
        if (o.row == 3) {
            at(30, o.second);
            port.eventLog().WriteLog("Alert for www.example.net 80 Timeout(09:30:33) web shop");
            port.eventLog().WriteLog("Send SMS message [Alert for www.example.net 80 Timeout(09:30:33) web shop]");
        }
    }
    c.lblTimeinterval.setText("Time interval cycle for monitoring : 60 seconds");
    c.lblTimeout.setText("Connecting timeout values : 30 seconds");
    c.Label2.setText("Current status : now 09:30:36 waiting 60 seconds for next start");
    c.Label4.setText("SMS Account : ops@example.com");
    c.Label7.setText("24");
    c.Label7.setVisible(true);
    bool saved = window.grab().save(file);

    // The same session with more targets, in a window the operator made larger.
    const char* more[][3] = {
        {"10.0.0.8", "443", "billing"},       {"10.0.0.9", "5432", "stock database"},
        {"10.0.1.2", "22", "backup server"},  {"10.0.1.3", "110", "mail pickup"},
        {"10.0.1.4", "53", "name server"},    {"10.0.1.5", "8080", "intranet"},
        {"10.0.1.6", "1433", "payroll"},      {"10.0.1.7", "143", "mail store"},
        {"10.0.1.8", "21", "file drop"},      {"10.0.1.9", "3389", "terminal server"},
        {"10.0.2.1", "25", "outbound relay"}, {"10.0.2.2", "80", "status page"},
    };
    int second = 36;
    for (const auto& target : more) {
        const int row = grid.appendRow();
        grid.setCell(row, HostTable::colHost, target[0]);
        grid.setCell(row, HostTable::colPort, target[1]);
        grid.setCell(row, HostTable::colDescription, target[2]);
        grid.setCell(row, HostTable::colLastStatus, "ALIVE(09:30:" + std::to_string(second++) + ")");
        grid.setCell(row, HostTable::colTimeoutLimit, "3");
        grid.setCell(row, HostTable::colCount, "0");
    }
    window.resize(820, 700);
    // The offscreen platform and the grid lay out on their next turn.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    saved = window.grab().save(grownFile) && saved;
    window.detach();
    return saved;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Wardel"));
    if (argc != 4) {
        std::fprintf(stderr, "usage: wardel-screenshots <settings.png> <main-window.png> <main-window-grown.png>\n");
        return 2;
    }
    const bool saved = saveSettingsDialog(QString::fromLocal8Bit(argv[1])) &&
                       saveMainWindow(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    return saved ? 0 : 1;
}
