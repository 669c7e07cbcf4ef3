#include "platform/qt/qt_clock.h"

#include <ctime>

namespace wardel::qt {

namespace {
constexpr std::time_t kZoneRereadSeconds = 60;
}

LocalDateTime QtClock::now() const {
    timespec wall{};
    ::clock_gettime(CLOCK_REALTIME, &wall);
    if (!zoneRead_ || wall.tv_sec < zoneReadAt_ || wall.tv_sec - zoneReadAt_ >= kZoneRereadSeconds) {
        ::tzset();
        zoneReadAt_ = wall.tv_sec;
        zoneRead_ = true;
    }
    tm local{};
    ::localtime_r(&wall.tv_sec, &local);
    return LocalDateTime{local.tm_year + 1900,
                         local.tm_mon + 1,
                         local.tm_mday,
                         local.tm_hour,
                         local.tm_min,
                         local.tm_sec,
                         static_cast<int>(wall.tv_nsec / 1'000'000)};
}

} // namespace wardel::qt
