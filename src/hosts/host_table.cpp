#include "hosts/host_table.h"

#include <stdexcept>

namespace wardel {

HostTable::HostTable() : rows_(2) {}

HostTable::Row& HostTable::at(int row, int column) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= kColumns)
        throw std::out_of_range("grid cell outside the table");
    return rows_[static_cast<std::size_t>(row)];
}

const std::string& HostTable::cell(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= kColumns)
        throw std::out_of_range("grid cell outside the table");
    return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void HostTable::setCell(int row, int column, std::string text) {
    std::string& target = at(row, column)[static_cast<std::size_t>(column)];
    if (target == text)
        return;
    target = std::move(text);
    if (observer_)
        observer_->cellChanged(row, column);
}

HostEntry HostTable::entry(int row) const {
    return HostEntry{cell(row, colHost),        cell(row, colPort),  cell(row, colLastStatus),
                     cell(row, colDescription), cell(row, colAlert), cell(row, colTimeoutLimit),
                     cell(row, colCount)};
}

HostTable::Row HostTable::toRow(HostEntry&& e) {
    return Row{std::move(e.host),  std::move(e.port),         std::move(e.lastStatus), std::move(e.description),
               std::move(e.alert), std::move(e.timeoutLimit), std::move(e.count)};
}

int HostTable::appendRow() {
    const int row = rowCount();
    if (observer_)
        observer_->rowsAboutToBeInserted(row, row);
    rows_.emplace_back();
    if (observer_)
        observer_->rowsInserted(row, row);
    return row;
}

int HostTable::appendRows(std::vector<HostEntry> entries, std::size_t from) {
    const int first = rowCount();
    if (from >= entries.size())
        return first;
    const int last = first + static_cast<int>(entries.size() - from) - 1;
    if (observer_)
        observer_->rowsAboutToBeInserted(first, last);
    rows_.reserve(rows_.size() + entries.size() - from);
    for (auto e = entries.begin() + static_cast<std::ptrdiff_t>(from); e != entries.end(); ++e)
        rows_.push_back(toRow(std::move(*e)));
    if (observer_)
        observer_->rowsInserted(first, last);
    return first;
}

void HostTable::removeRow(int row) {
    if (!isDataRow(row))
        throw std::out_of_range("only a data row can be removed");
    if (observer_)
        observer_->rowsAboutToBeRemoved(row, row);
    rows_.erase(rows_.begin() + row);
    // The selection stays on the entry it was on: it moves up with the rows below and is gone with its row.
    const int oldCurrent = currentRow_;
    if (currentRow_ == row)
        currentRow_ = 0;
    else if (currentRow_ > row)
        --currentRow_;
    if (observer_) {
        observer_->rowsRemoved(row, row);
        if (currentRow_ != oldCurrent)
            observer_->currentRowChanged();
    }
}

void HostTable::setEnabled(bool on) {
    if (enabled_ == on)
        return;
    enabled_ = on;
    if (observer_)
        observer_->enabledChanged();
}

void HostTable::setCurrentRow(int row) {
    if (row < 0 || row >= rowCount())
        row = 0;
    if (currentRow_ == row)
        return;
    currentRow_ = row;
    if (observer_)
        observer_->currentRowChanged();
}

} // namespace wardel
