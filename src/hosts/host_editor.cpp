#include "hosts/host_editor.h"

#include <system_error>
#include <vector>

#include "common/numbers.h"
#include "common/text_file.h"
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

// Writes the persistent cells of a new or loaded entry; the status and alert cells are left as they are.
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
    const int row = grid.cell(1, Col::colHost).empty() ? 1 : grid.appendRow();
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

void loadHostListFile(const std::filesystem::path& file, HostTable& grid) {
    const auto text = readWholeFile(file);
    if (!text)
        return;

    // Each record is placed as an Add places it. Once row 1 is filled every later record is appended, so
    // those are gathered and appended in one step.
    std::vector<HostEntry> entries = parseHostEntries(*text);
    auto next = entries.begin();
    for (; next != entries.end() && grid.cell(1, Col::colHost).empty(); ++next) {
        // An empty host into the empty slot leaves the table empty; this is how the empty table's single
        // record of four empty fields loads back.
        if (next->host.empty())
            continue;
        grid.setCell(1, Col::colHost, std::move(next->host));
        writeEntryCells(grid, 1, next->port, next->description, next->timeoutLimit);
    }
    const auto from = static_cast<std::size_t>(next - entries.begin());
    for (; next != entries.end(); ++next)
        next->count = "0";
    grid.appendRows(std::move(entries), from);
}

void HostEditor::LoadHostList() {
    loadHostListFile(hostListFile(), grid_);
}

void HostEditor::SaveHostList() {
    if (writeHostList())
        return;
    // The grid keeps its change; the next Add or Delete tries again.
    log_.WriteLog(kSaveErrorText);
    messages_.show(kSaveErrorText);
}

std::filesystem::path HostEditor::hostListFile() const {
    return hostListFile_;
}

bool HostEditor::writeHostList() const {
    if (grid_.rowCount() - 1 > kMaxHostListEntries)
        return false;
    const auto content = formatHostList(grid_);
    if (!content)
        return false;
    // A read-only file stays as it is, even for root, who could write it.
    return replaceFileAtomically(hostListFile(), *content);
}

} // namespace wardel
