#include "hosts/host_table.h"

#include <algorithm>
#include <stdexcept>

#include "common/numbers.h"

namespace wardel {

namespace {

constexpr const char* kAlertMarker = "1";
// The heading, a full file's targets and the one Add more the grid takes before its save is refused.
constexpr std::size_t kFullTableRows = kMaxHostListEntries + 2;

} // namespace

HostTable::HostTable() : rows_(2), histories_(2) {}

void HostTable::countRow(int row, int sign) {
    if (row < 1)
        return; // the heading row is no target
    const auto index = static_cast<std::size_t>(row);
    if (rows_[index][static_cast<std::size_t>(colAlert)] == kAlertMarker)
        alertedRows_ += sign;
    if (histories_[index].state == RowHistory::State::Down)
        failingRows_ += sign;
}

void HostTable::announceSummary(bool alertedBefore, bool failingBefore) const {
    if (anyAlerted() != alertedBefore || anyFailing() != failingBefore)
        summaryChanged_.notify();
}

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
    const bool alertedBefore = anyAlerted();
    const bool failingBefore = anyFailing();
    countRow(row, -1);
    target = std::move(text);
    countRow(row, +1);
    if (observer_)
        observer_->cellChanged(row, column);
    announceSummary(alertedBefore, failingBefore);
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

void HostTable::makeRoom(std::size_t rows) {
    if (rows <= rows_.capacity())
        return;
    // A loaded table gets room for some Adds, a growing one doubles; but never past a full table while it
    // fits one: at the limit a doubled block would hold megabytes no row ever uses, and each Add there would
    // copy the whole table into it.
    std::size_t room = std::max(rows + rows / 8, rows_.capacity() * 2);
    if (rows <= kFullTableRows)
        room = std::min(room, kFullTableRows);
    rows_.reserve(room);
    histories_.reserve(room);
}

int HostTable::appendRow() {
    const int row = rowCount();
    makeRoom(rows_.size() + 1);
    if (observer_)
        observer_->rowsAboutToBeInserted(row, row);
    rows_.emplace_back();
    histories_.emplace_back();
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
    const bool alertedBefore = anyAlerted();
    const bool failingBefore = anyFailing();
    makeRoom(rows_.size() + entries.size() - from);
    for (auto e = entries.begin() + static_cast<std::ptrdiff_t>(from); e != entries.end(); ++e)
        rows_.push_back(toRow(std::move(*e)));
    histories_.resize(rows_.size());
    for (int row = first; row <= last; ++row)
        countRow(row, +1);
    if (observer_)
        observer_->rowsInserted(first, last);
    announceSummary(alertedBefore, failingBefore);
    return first;
}

void HostTable::removeRow(int row) {
    if (!isDataRow(row))
        throw std::out_of_range("only a data row can be removed");
    if (observer_)
        observer_->rowsAboutToBeRemoved(row, row);
    const bool alertedBefore = anyAlerted();
    const bool failingBefore = anyFailing();
    countRow(row, -1);
    rows_.erase(rows_.begin() + row);
    histories_.erase(histories_.begin() + row);
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
    announceSummary(alertedBefore, failingBefore);
}

const RowHistory& HostTable::history(int row) const {
    if (row < 0 || row >= rowCount())
        throw std::out_of_range("grid row outside the table");
    return histories_[static_cast<std::size_t>(row)];
}

void HostTable::setHistory(int row, RowHistory history) {
    if (row < 0 || row >= rowCount())
        throw std::out_of_range("grid row outside the table");
    const bool alertedBefore = anyAlerted();
    const bool failingBefore = anyFailing();
    countRow(row, -1);
    histories_[static_cast<std::size_t>(row)] = history;
    countRow(row, +1);
    announceSummary(alertedBefore, failingBefore);
}

std::string HostTable::lastStatusTip(int row) const {
    if (!clock_ || !isDataRow(row))
        return "";
    std::string tip = describeRowHistory(history(row), clock_->now());
    if (tip.empty() || !tipAddition_)
        return tip;
    const std::string added =
        tipAddition_(std::string(trim(cell(row, colHost))), std::string(trim(cell(row, colPort))));
    return added.empty() ? tip : tip + "; " + added;
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
