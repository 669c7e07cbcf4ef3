#include "app/wiring.h"

#include "app/alert_setting.h"
#include "app/sms_port.h"
#include "hosts/host_list_file.h"
#include "platform/window_port.h"

namespace wardel {

Wiring::Wiring(SMSPort& port, Platform& platform, const std::filesystem::path& folder)
    : port(port), log(platform.clock, port.settings(), port.logBox(), folder),
      Timer1(platform.timers.createTimer(1000, false)), Timer2(platform.timers.createTimer(1000, false)),
      Timer3(platform.timers.createTimer(1000, false)), Timer4(platform.timers.createTimer(35000, true)),
      Timer5(platform.timers.createTimer(60000, true)),
      hosts({port.controls().txtIpAddress, port.controls().cbxPortSel, port.controls().Description,
             port.controls().num_Timeout},
            port.grid(), platform.messages, log, folder / kHostListFileName),
      gateway(platform.clock, {platform.mainReader, platform.creditReader}, port.settings(), port.runtime(), log,
              platform.messages, *this),
      alerts(port.settings(), port.runtime(), gateway, log), notices(platform.notifier, platform.timers),
      engine(platform.clock, {*Timer1, *Timer2, *Timer3}, platform.timers, platform.socket, platform.messages,
             port.grid(), {port.controls().cmdMonitor, port.controls().cmdAdd, port.controls().Label2}, port.settings(),
             log, sinks),
      trayStatus(port.grid(), engine, platform.tray),
      notice(platform.clock, {*Timer4, *Timer5}, port.settings(), port.runtime(), gateway, port.logBox(),
             port.controls().Label2, *this),
      history(platform.clock, platform.timers, log, folder / kHistoryFileName), platform_(platform) {
    probeFinishes = engine.subscribeProbeFinished([this](const FinishedProbe& probe) { history.record(probe); });
    sinks.add(alerts);
    sinks.add(notices);
    if (platform.alertReader != nullptr) {
        alertmanagerRound = platform.timers.createTimer(60000, true);
        alertmanager =
            std::make_unique<AlertmanagerSink>(platform.clock, *alertmanagerRound, *platform.alertReader, log);
        sinks.add(*alertmanager);
    }
}

Wiring::~Wiring() = default;

void Wiring::setSmsTodayCaption(const std::string& caption) {
    port.alertSetting().controls().SMS_Today.setText(caption);
}

void Wiring::showMainWindow() {
    platform_.window.show();
}

void Wiring::showAccountState(const std::string& text) {
    port.controls().Label4.setText(text);
}

void Wiring::showCredit(const std::string& creditText) {
    port.controls().Label7.setText(creditText);
}

void Wiring::setCreditVisible(bool visible) {
    port.controls().Label7.setVisible(visible);
}

void Wiring::unloadMainWindow() {
    port.Form_Unload();
}

} // namespace wardel
