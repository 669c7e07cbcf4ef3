#pragma once

#include <string>

namespace wardel {

// The desktop's notification service. Fire and forget: nothing comes back, nothing waits, and a desktop
// without such a service simply shows nothing.
class DesktopNotifier {
public:
    enum class Urgency { Normal, Critical };

    virtual ~DesktopNotifier() = default;
    // A notice with a `tag` takes the place of the last one shown with the same tag, where the service can;
    // an empty tag replaces nothing.
    virtual void notify(const std::string& summary, const std::string& body, Urgency urgency,
                        const std::string& tag) = 0;
};

} // namespace wardel
