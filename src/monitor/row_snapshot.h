#pragma once

#include <cstdint>
#include <string>

#include "hosts/host_table.h"

namespace wardel {

// The values of one grid row taken when its probe starts; the evaluation of the probe works on them.
struct RowSnapshot {
    std::string alert;             // column 4, as stored
    std::string description;       // column 3
    std::int16_t timeoutLimit = 0; // column 5, as a number
    std::int16_t failCount = 0;    // column 6, the working failure counter of this check
    std::string host;              // column 0, not trimmed
    std::string port;              // column 1, not trimmed
};

RowSnapshot takeRowSnapshot(const HostTable& grid, int row);

} // namespace wardel
