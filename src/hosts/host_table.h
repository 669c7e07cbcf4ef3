#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "common/subscription.h"
#include "hosts/row_history.h"
#include "platform/clock.h"

namespace wardel {

// Largest number of targets host.ini holds; the grid takes one more, whose save is refused.
inline constexpr int kMaxHostListEntries = 32767;

// One target: the seven text cells of one grid row. Nothing here checks that a number is a number.
struct HostEntry {
    std::string host;         // column 0, as typed (not trimmed)
    std::string port;         // column 1, the text between the port selector's parentheses
    std::string lastStatus;   // column 2, outcome of the latest probe
    std::string description;  // column 3
    std::string alert;        // column 4, "1" while an alert stands for the current run of failures
    std::string timeoutLimit; // column 5, consecutive failures that raise an alert
    std::string count;        // column 6, consecutive failures so far, in decimal

    bool operator==(const HostEntry&) const = default;
};

// Hears every change of the table, cell by cell and row by row, so a view can follow without a reset.
// A row change is announced before it happens and reported after it, as item views need both.
class HostTableObserver {
public:
    virtual ~HostTableObserver() = default;
    virtual void cellChanged(int row, int column) = 0;
    virtual void rowsAboutToBeInserted(int /*first*/, int /*last*/) {}
    virtual void rowsInserted(int first, int last) = 0;
    virtual void rowsAboutToBeRemoved(int /*first*/, int /*last*/) {}
    virtual void rowsRemoved(int first, int last) = 0;
    virtual void enabledChanged() = 0;
    virtual void currentRowChanged() = 0;
};

// The host grid, which is the host table itself: row 0 is the fixed heading row, rows 1..rowCount()-1 the
// targets in display order. There is always at least one data row; a row 1 with an empty host cell stands
// for the empty table. Cells are addressed by row and column, as the engine and the entry commands do.
class HostTable {
public:
    static constexpr int kColumns = 7;
    enum Column : int {
        colHost = 0,
        colPort = 1,
        colLastStatus = 2,
        colDescription = 3,
        colAlert = 4,
        colTimeoutLimit = 5,
        colCount = 6,
    };

    HostTable();

    // One observer at a time (the grid view, or a test).
    Subscription observe(HostTableObserver& observer) { return observer_.attach(observer); }

    int rowCount() const { return static_cast<int>(rows_.size()); }
    int lastRow() const { return rowCount() - 1; }
    bool isDataRow(int row) const { return row >= 1 && row < rowCount(); }
    // The empty table: row 1 has no host. Its row 1 is the slot the next added or loaded entry fills.
    bool isEmpty() const { return rowCount() < 2 || rows_[1][colHost].empty(); }

    // Reading or writing a cell outside the table throws std::out_of_range.
    const std::string& cell(int row, int column) const;
    void setCell(int row, int column, std::string text);

    HostEntry entry(int row) const;

    // Appends one empty row and returns its number.
    int appendRow();
    // Appends filled rows at the end in one step (one notification for all of them), passing over the
    // entries before `from`; returns the number of the first new row, or the row count when none is left.
    int appendRows(std::vector<HostEntry> entries, std::size_t from = 0);
    // Removes a data row; the rows below move up by one. Throws std::out_of_range for other rows.
    void removeRow(int row);

    bool enabled() const { return enabled_; }
    void setEnabled(bool on);

    // The row's memory of its probes, which moves with the row. Reading or writing outside the table throws
    // std::out_of_range.
    const RowHistory& history(int row) const;
    void setHistory(int row, RowHistory history);
    // The clock the Last Status tip measures its time against; no tip without one.
    void setClock(const Clock* clock) { clock_ = clock; }
    // The tip of a row's Last Status cell as of now (see describeRowHistory); empty when nothing is known.
    std::string lastStatusTip(int row) const;
    // What the probe history adds to a known tip for the row's host and port (trimmed); empty adds nothing.
    void setTipAddition(std::function<std::string(const std::string& host, const std::string& port)> addition) {
        tipAddition_ = std::move(addition);
    }

    // Whether any data row holds the alert marker "1", and whether any target's latest outcome was a failure;
    // kept as counts, so asking costs nothing on a long table.
    bool anyAlerted() const { return alertedRows_ > 0; }
    bool anyFailing() const { return failingRows_ > 0; }
    // Told after either answer changed. One observer at a time.
    Subscription subscribeSummary(std::function<void()> observer) {
        return summaryChanged_.subscribe(std::move(observer));
    }

    // The operator's selection: 0 (the heading row) when no data row is selected.
    int currentRow() const { return currentRow_; }
    void setCurrentRow(int row);

private:
    using Row = std::array<std::string, kColumns>;
    Row& at(int row, int column);
    static Row toRow(HostEntry&& entry);
    // Room for `rows` rows (and their histories) before they are added.
    void makeRoom(std::size_t rows);
    // Adds `sign` times the row's part to the summary counts.
    void countRow(int row, int sign);
    void announceSummary(bool alertedBefore, bool failingBefore) const;

    std::vector<Row> rows_;
    std::vector<RowHistory> histories_; // beside rows_, index for index
    int alertedRows_ = 0;
    int failingRows_ = 0;
    const Clock* clock_ = nullptr;
    std::function<std::string(const std::string&, const std::string&)> tipAddition_;
    SingleObserver<> summaryChanged_;
    bool enabled_ = true;
    int currentRow_ = 0;
    ObserverPointer<HostTableObserver> observer_;
};

} // namespace wardel
