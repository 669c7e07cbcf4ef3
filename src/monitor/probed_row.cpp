#include "monitor/probed_row.h"

#include <algorithm>

namespace wardel {

void ProbedRow::begin(int row) {
    row_ = row;
    rowsWhenSeen_ = grid_.rowCount();
    gone_ = false;
    removedWithRows_ = false;
    cells_ = grid_.entry(row);
}

bool ProbedRow::holdsRow(int row) const {
    if (!grid_.isDataRow(row))
        return false;
    // Compared where they stand: the row is looked for on every write, so it is not copied each time.
    const std::string* kept[HostTable::kColumns] = {&cells_.host,        &cells_.port,  &cells_.lastStatus,
                                                    &cells_.description, &cells_.alert, &cells_.timeoutLimit,
                                                    &cells_.count};
    for (int column = 0; column < HostTable::kColumns; ++column) {
        if (grid_.cell(row, column) != *kept[column])
            return false;
    }
    return true;
}

int ProbedRow::follow() {
    if (gone_)
        return 0;
    // Each removed row above this one moved it up by one, so it stands no higher than `removed` rows above
    // where it was last seen. Only a row equal in all seven cells could be taken for it, and such a twin
    // (same target, same status, same count) is recorded the same way.
    const int removed = std::max(0, rowsWhenSeen_ - grid_.rowCount());
    for (int row = row_; row >= std::max(1, row_ - removed); --row) {
        if (holdsRow(row)) {
            row_ = row;
            rowsWhenSeen_ = grid_.rowCount();
            return row_;
        }
    }
    gone_ = true;
    removedWithRows_ = removed > 0;
    return 0;
}

void ProbedRow::write(int column, std::string text) {
    const int row = follow();
    if (row == 0)
        return;
    switch (column) {
    case HostTable::colLastStatus:
        cells_.lastStatus = text;
        break;
    case HostTable::colAlert:
        cells_.alert = text;
        break;
    case HostTable::colCount:
        cells_.count = text;
        break;
    default:
        return; // the engine writes only these three cells
    }
    grid_.setCell(row, column, std::move(text));
}

void ProbedRow::remember(RowHistory::State outcome, const LocalDateTime& at) {
    const int row = follow();
    if (row == 0)
        return;
    RowHistory history = grid_.history(row);
    history.record(outcome, at);
    grid_.setHistory(row, history);
}

int ProbedRow::rowAfter() {
    if (follow() != 0)
        return row_ + 1;
    // A removed row left its number to the row below it; a row cleared in place keeps its number.
    return removedWithRows_ ? row_ : row_ + 1;
}

} // namespace wardel
