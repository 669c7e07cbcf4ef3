#pragma once

#include <string>

#include "hosts/host_table.h"

namespace wardel {

// The grid row whose target is being probed, followed by its cells.
//
// The cycle walks the grid by row number, but Delete stays available while a probe runs: the probed row
// may move up when a row above it goes, or go itself. An outcome written by number would then land in
// another target's row. This keeps the seven cells the row had when its probe began (and every cell the
// engine wrote since) and finds them again among the row numbers the row can have moved to. Rows never
// move down during a cycle: the Add button and the grid are disabled while it runs.
class ProbedRow {
public:
    explicit ProbedRow(HostTable& grid) : grid_(grid) {}

    // Starts following `row` with its cells as they stand.
    void begin(int row);

    // Where the row stands now; 0 once it has been deleted (or cleared as the last entry).
    int follow();

    // Writes one of the engine's cells of the row wherever it stands now; nothing once it is gone.
    void write(int column, std::string text);
    // Adds an outcome at `at` to the row's history wherever it stands now; nothing once it is gone.
    void remember(RowHistory::State outcome, const LocalDateTime& at);

    // The row number the cycle goes on with after this row: the row right after it, or, when the row
    // was deleted, the row that moved into its place. Never a row probed before in this cycle.
    int rowAfter();

private:
    bool holdsRow(int row) const;

    HostTable& grid_;
    int row_ = 0;
    int rowsWhenSeen_ = 0; // the grid's row count when the row was last found
    bool gone_ = false;
    bool removedWithRows_ = false; // the row went while rows were removed, not cleared in place
    HostEntry cells_;
};

} // namespace wardel
