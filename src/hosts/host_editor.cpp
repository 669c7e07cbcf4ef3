#include "hosts/host_editor.h"

#include "common/numbers.h"
#include "hosts/host_list_file.h"

namespace wardel {

namespace {

constexpr const char* kNoHostText = "Please input Host Name / IP address";
constexpr const char* kPortFormatText = "Format error !! Input Port number inside () eg. ssh(22)";
constexpr const char* kNoSelectionText = "Need to select an entry from host table to remove !!";
constexpr const char* kSaveErrorText = "Host File Save Error";
// The host list writes its fields between quotes without escaping, so these would break the file.
constexpr const char* kUnfitText = "Host Name / IP address, Port, Description and Timeout # can not contain \" "
                                   "or line breaks !!";

using Col = HostTable::Column;

// Writes the persistent cells of a new entry; the status and alert cells are left as they are.
void writeEntryCells(HostTable& grid, int row, const std::string& port, const std::string& description,
                     const std::string& timeoutLimit) {
    grid.setCell(row, Col::colPort, port);
    grid.setCell(row, Col::colDescription, description);
    grid.setCell(row, Col::colTimeoutLimit, timeoutLimit);
    grid.setCell(row, Col::colCount, "0");
}

} // namespace

std::optional<std::string> portBetweenParentheses(std::string_view text) {
    const auto open = text.find('(');
    const auto close = text.find(')');
    if (open == std::string_view::npos || close == std::string_view::npos)
        return std::nullopt;
    if (close < open)
        return std::string();
    return std::string(text.substr(open + 1, close - open - 1));
}

HostEditor::HostEditor(EntryControls controls, HostTable& grid, MessageBox& messages, EventLog& log,
                       std::filesystem::path hostListFile)
    : controls_(controls), grid_(grid), messages_(messages), log_(log), hostListFile_(std::move(hostListFile)) {}

std::string HostEditor::ParseTargetPort(const std::string& text) {
    auto port = portBetweenParentheses(text);
    if (!port) {
        messages_.show(kPortFormatText);
        return {};
    }
    return *port;
}

void HostEditor::cmdAdd_Click() {
    auto& c = controls_;
    const std::string host = c.txtIpAddress.text();
    const std::string portText = c.cbxPortSel.text();
    const std::string description = c.Description.text();
    const std::string timeoutLimit = c.num_Timeout.text();

    if (trim(host).empty()) {
        messages_.show(kNoHostText);
        return;
    }
    if (!fitsHostList(host) || !fitsHostList(portBetweenParentheses(portText).value_or("")) ||
        !fitsHostList(description) || !fitsHostList(timeoutLimit)) {
        messages_.show(kUnfitText);
        return;
    }

    HostTable& grid = grid_;
    const int row = grid.isEmpty() ? 1 : grid.appendRow();
    grid.setCell(row, Col::colHost, host);
    writeEntryCells(grid, row, ParseTargetPort(portText), description, timeoutLimit);

    c.txtIpAddress.setText("");
    c.Description.setText("");
    SaveHostList();
}

void HostEditor::cmdDelete_Click() {
    HostTable& grid = grid_;
    const int row = grid.currentRow();
    if (!rowSelected_ || !grid.isDataRow(row)) {
        messages_.show(kNoSelectionText);
    } else if (grid.rowCount() == 2) {
        // The last entry leaves the empty table behind: row 1 with every cell cleared.
        for (int column = 0; column < HostTable::kColumns; ++column)
            grid.setCell(row, column, "");
        grid.setHistory(row, {});
    } else {
        grid.removeRow(row);
    }
    rowSelected_ = false;
    grid.setCurrentRow(0);
    SaveHostList();
}

void HostEditor::grdHotGrid_Click(int row) {
    // A disabled grid takes no clicks, and the heading row is not an entry.
    if (!grid_.enabled() || !grid_.isDataRow(row))
        return;
    grid_.setCurrentRow(row);
    rowSelected_ = true;
}

void HostEditor::LoadHostList() {
    loadHostListFile(hostListFile_, grid_);
}

void HostEditor::SaveHostList() {
    if (saveHostListFile(hostListFile_, grid_))
        return;
    // The grid keeps its change; the next Add or Delete tries again.
    log_.WriteLog(kSaveErrorText);
    messages_.show(kSaveErrorText);
}

} // namespace wardel
