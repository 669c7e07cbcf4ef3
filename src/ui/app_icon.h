#pragma once

#include <QIcon>

#include "platform/tray_icon.h"

namespace wardel::qt {

// The program's icon, for the window and the notification area, from 16 to 64 pixels.
QIcon wardelIcon();

// The tray's picture for a state: the program's icon as it is while all is well; with an amber pulse and an
// amber badge while a target fails; with a red pulse and a red badge while an alert stands.
QIcon wardelTrayIcon(TrayIcon::State state);

} // namespace wardel::qt
