#pragma once

#include "common/local_date_time.h"

namespace wardel {

// Local date and time. Every time stamp of the monitor comes from here, so tests can run on a virtual clock.
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() const = 0;
};

} // namespace wardel
