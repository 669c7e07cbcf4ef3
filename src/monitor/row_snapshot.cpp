#include "monitor/row_snapshot.h"

#include <limits>

#include "common/numbers.h"

namespace wardel {

std::int16_t SaturatedInt16(std::string_view text) {
    const double value = LeadingNumber(text);
    if (const auto number = RoundToInt16(value))
        return *number;
    return value > 0 ? std::numeric_limits<std::int16_t>::max() : std::numeric_limits<std::int16_t>::min();
}

RowSnapshot TakeRowSnapshot(const HostTable& grid, int row) {
    RowSnapshot snapshot;
    snapshot.alert = grid.cell(row, HostTable::colAlert);
    snapshot.description = grid.cell(row, HostTable::colDescription);
    snapshot.timeoutLimit = SaturatedInt16(Trim(grid.cell(row, HostTable::colTimeoutLimit)));
    snapshot.failCount = SaturatedInt16(Trim(grid.cell(row, HostTable::colCount)));
    snapshot.host = grid.cell(row, HostTable::colHost);
    snapshot.port = grid.cell(row, HostTable::colPort);
    return snapshot;
}

} // namespace wardel
