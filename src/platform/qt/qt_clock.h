#pragma once

#include "platform/clock.h"

namespace wardel::qt {

// The operator's local wall clock.
class QtClock : public Clock {
public:
    LocalDateTime now() const override;
};

} // namespace wardel::qt
