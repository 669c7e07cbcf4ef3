// wardel-screenshots: renders the settings dialog off screen and writes it as a PNG, for the README.
// Usage: wardel-screenshots <output.png>

#include <QApplication>
#include <QPixmap>
#include <cstdio>

#include "app/alert_setting.h"
#include "ui/alert_setting_dialog.h"

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

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: wardel-screenshots <output.png>\n");
        return 2;
    }
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
    wardel::AlertSetting model(settings, runtime, messages, shell, WARDEL_GATEWAY_BASE, {[] {}, [] {}, [] {}});
    wardel::qt::AlertSettingDialog dialog(model, [&model](const auto& action) { action(model); });
    model.show();
    return dialog.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
