#include "alerts/desktop_notice.h"

namespace wardel {

namespace {

constexpr const char* kBackToAliveKind = "1";

} // namespace

void DesktopNotice::SendAlert(const std::string& message, const std::string& kind, const std::string& description) {
    gateway_.SendAlert(message, kind, description);
    desktop_.notify(message, "",
                    kind == kBackToAliveKind ? DesktopNotifier::Urgency::Normal : DesktopNotifier::Urgency::Critical);
}

} // namespace wardel
