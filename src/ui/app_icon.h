#pragma once

#include <QIcon>

namespace wardel::qt {

// The program's icon, for the window and the notification area, from 16 to 64 pixels.
QIcon wardelIcon();

} // namespace wardel::qt
