#pragma once

#include <QString>

#include "platform/desktop_notifier.h"

namespace wardel::qt {

// Notifications through the desktop's org.freedesktop.Notifications service on the session bus, marked with
// the program's desktop entry so that the desktop's own settings for the program (and do-not-disturb)
// apply. Each is one asynchronous call whose reply nobody waits for: when no service is on the bus (or there is
// no bus at all) it goes nowhere and nothing is said about it.
class QtDesktopNotifier : public DesktopNotifier {
public:
    // `desktopEntry` is the desktop entry's name without ".desktop".
    QtDesktopNotifier(QString applicationName, QString desktopEntry);

    void notify(const std::string& summary, const std::string& body, Urgency urgency) override;

private:
    QString applicationName_;
    QString desktopEntry_;
};

} // namespace wardel::qt
