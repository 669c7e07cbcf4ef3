#include "monitor/row_snapshot.h"

#include "common/numbers.h"
#include "common/saturating.h"

namespace wardel {

RowSnapshot takeRowSnapshot(const HostTable& grid, int row) {
    RowSnapshot snapshot;
    snapshot.alert = grid.cell(row, HostTable::colAlert);
    snapshot.description = grid.cell(row, HostTable::colDescription);
    snapshot.timeoutLimit = saturatedInt16(trim(grid.cell(row, HostTable::colTimeoutLimit)));
    snapshot.failCount = saturatedInt16(trim(grid.cell(row, HostTable::colCount)));
    snapshot.host = grid.cell(row, HostTable::colHost);
    snapshot.port = grid.cell(row, HostTable::colPort);
    return snapshot;
}

} // namespace wardel
