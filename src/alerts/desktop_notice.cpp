#include "alerts/desktop_notice.h"

namespace wardel {

void DesktopNotice::SendAlert(const Alert& alert) {
    desktop_.notify(alert.message, "",
                    alert.kind == AlertKind::BackToAlive ? DesktopNotifier::Urgency::Normal
                                                         : DesktopNotifier::Urgency::Critical,
                    // One notice per target, so the desktop shows its present state, not its history.
                    alert.host + " " + alert.port + " " + alert.description);
}

} // namespace wardel
