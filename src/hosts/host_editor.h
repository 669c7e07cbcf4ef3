#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "hosts/host_table.h"
#include "log/event_log.h"
#include "platform/controls.h"
#include "platform/message_box.h"

namespace wardel {

// The operator's entry, deletion and selection of targets in the host grid; the host list file host.ini
// (hosts/host_list_file.h) keeps the grid across restarts.
//
// The grid is the only copy of the table. Row 1 with an empty host cell stands for the empty table and is
// the slot the next added or loaded entry fills in place; every other entry is appended at the end. The file
// is rewritten whole after every Add and every Delete and read once at start-up.
class HostEditor {
public:
    // The entry fields of the main window that Add reads.
    struct EntryControls {
        Control& txtIpAddress;
        ComboControl& cbxPortSel;
        Control& Description;
        ComboControl& num_Timeout;
    };

    // `hostListFile` is host.ini in the program's folder.
    HostEditor(EntryControls controls, HostTable& grid, MessageBox& messages, EventLog& log,
               std::filesystem::path hostListFile);

    // Adds the target described by the entry fields, then saves.
    void cmdAdd_Click();
    // Deletes the selected target (or says that none is selected), clears the selection, then saves.
    void cmdDelete_Click();
    // A click on grid row `row` (0 is the heading row).
    void grdHotGrid_Click(int row);

    void LoadHostList();
    void SaveHostList();

    // The port part of a port-selector text; says so and gives an empty text when a parenthesis is missing.
    std::string ParseTargetPort(const std::string& text);

    // Whether the operator has selected an entry since the last Delete.
    bool rowSelected() const { return rowSelected_; }

private:
    EntryControls controls_;
    HostTable& grid_;
    MessageBox& messages_;
    EventLog& log_;
    std::filesystem::path hostListFile_;
    bool rowSelected_ = false;
};

// The text strictly between the first "(" and the first ")": "WWW   (80)" gives "80". Empty when ")" comes
// first; nullopt when either is missing.
std::optional<std::string> portBetweenParentheses(std::string_view text);

} // namespace wardel
