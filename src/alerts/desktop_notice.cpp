#include "alerts/desktop_notice.h"

namespace wardel {

void DesktopNotice::SendAlert(const Alert& alert) {
    desktop_.notify(alert.message, "",
                    alert.kind == AlertKind::BackToAlive ? DesktopNotifier::Urgency::Normal
                                                         : DesktopNotifier::Urgency::Critical);
}

} // namespace wardel
