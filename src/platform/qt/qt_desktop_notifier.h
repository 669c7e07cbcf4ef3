#pragma once

#include <QObject>
#include <QString>
#include <map>
#include <string>

#include "platform/desktop_notifier.h"

namespace wardel::qt {

// Notifications through the desktop's org.freedesktop.Notifications service on the session bus, marked with
// the program's desktop entry so that the desktop's own settings for the program (and do-not-disturb)
// apply. Each is one asynchronous call whose reply nobody waits for: when no service is on the bus (or there is
// no bus at all) it goes nowhere and nothing is said about it. The id a tagged notice's reply brings is kept,
// so that the next notice with that tag replaces it (the service's replaces_id).
class QtDesktopNotifier : public DesktopNotifier {
public:
    // `desktopEntry` is the desktop entry's name without ".desktop".
    QtDesktopNotifier(QString applicationName, QString desktopEntry);

    void notify(const std::string& summary, const std::string& body, Urgency urgency, const std::string& tag) override;

private:
    QObject replies_;                 // where the service's answers with the notices' ids arrive
    std::map<std::string, uint> ids_; // by tag, the id of the last notice the service showed
    QString applicationName_;
    QString desktopEntry_;
};

} // namespace wardel::qt
