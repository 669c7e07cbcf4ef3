#pragma once

#include <string>

namespace wardel {

// The desktop's notification service. Fire and forget: nothing comes back, nothing waits, and a desktop
// without such a service simply shows nothing.
class DesktopNotifier {
public:
    enum class Urgency { Normal, Critical };

    virtual ~DesktopNotifier() = default;
    virtual void notify(const std::string& summary, const std::string& body, Urgency urgency) = 0;
};

} // namespace wardel
