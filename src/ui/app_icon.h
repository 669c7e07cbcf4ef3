#pragma once

#include <QIcon>

namespace wardel::qt {

// The program's icon, for the window and the notification area, in 16 and 32 pixels.
QIcon WardelIcon();

} // namespace wardel::qt
