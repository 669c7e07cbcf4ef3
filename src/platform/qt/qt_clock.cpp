#include "platform/qt/qt_clock.h"

#include <QDateTime>

namespace wardel::qt {

LocalDateTime QtClock::now() const {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    return LocalDateTime{date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second(), time.msec()};
}

} // namespace wardel::qt
