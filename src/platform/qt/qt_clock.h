#pragma once

#include <ctime>

#include "platform/clock.h"

namespace wardel::qt {

// The operator's local wall clock.
class QtClock : public Clock {
public:
    LocalDateTime now() const override;

private:
    // Reading the time zone costs a file system look-up each time; the clock does it once a minute, so a
    // change of the system's zone shows within a minute.
    mutable std::time_t zoneReadAt_ = 0;
    mutable bool zoneRead_ = false;
};

} // namespace wardel::qt
