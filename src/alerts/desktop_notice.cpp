#include "alerts/desktop_notice.h"

namespace wardel {

namespace {

constexpr std::size_t kNamedInGroup = 3;

} // namespace

DesktopNotice::DesktopNotice(DesktopNotifier& desktop, TimerSource& timers)
    : desktop_(desktop), hold_(timers.createTimer(kHoldMs, false)),
      holdEnds_(hold_->subscribeTick([this] { CycleEnded(); })) {}

void DesktopNotice::SendAlert(const Alert& alert) {
    (alert.kind == AlertKind::BackToAlive ? backs_ : downs_).push_back(alert);
    hold_->setEnabled(true);
}

void DesktopNotice::CycleEnded() {
    hold_->setEnabled(false);
    flush(downs_, " targets down: ", DesktopNotifier::Urgency::Critical);
    flush(backs_, " targets back to alive: ", DesktopNotifier::Urgency::Normal);
}

void DesktopNotice::flush(std::vector<Alert>& alerts, const char* what, DesktopNotifier::Urgency urgency) {
    if (alerts.size() > kNamedInGroup) {
        // "12 targets down: db 3306, web 443, mail 25 and 9 more"
        std::string text = std::to_string(alerts.size()) + what;
        for (std::size_t i = 0; i < kNamedInGroup; ++i)
            text += (i > 0 ? ", " : "") + alerts[i].host + " " + alerts[i].port;
        desktop_.notify(text + " and " + std::to_string(alerts.size() - kNamedInGroup) + " more", "", urgency, "");
    } else {
        // One notice per target, so the desktop shows its present state, not its history.
        for (const Alert& alert : alerts)
            desktop_.notify(alert.message, "", urgency, alert.host + " " + alert.port + " " + alert.description);
    }
    alerts.clear();
}

} // namespace wardel
