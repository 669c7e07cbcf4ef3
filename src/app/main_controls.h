#pragma once

#include <vector>

#include "platform/controls.h"

namespace wardel {

// The named controls of the main window SMSPort as plain values, with their design-time captions and
// places. The grid is the HostTable and the log box the LogBox; the timers belong to the program's `Wiring`.
struct MainControls {
    using Kind = ControlDesign::Kind;
    using Ink = ControlDesign::Ink;
    static constexpr int kTextBoxHeight = 285;
    static constexpr int kButtonTop = 1320;
    static constexpr int kButtonHeight = 375;

    MainControls() = default;
    MainControls(const MainControls&) = delete;
    MainControls& operator=(const MainControls&) = delete;

    // Every control below, in design order: the one list the window builds its widgets from.
    const std::vector<Control*>& all() const { return board.all(); }

    ControlBoard board;

    Control SMSPort{board, "SMSPort", "Wardel ", {Kind::Caption}}; // the window caption
    Control Label1_0{board, "Label1(0)", "Host Name / IP Address", {Kind::Heading, 120, 120}};
    TextControl txtIpAddress{board, "txtIpAddress", "", {Kind::TextBox, 120, 360, 1935, kTextBoxHeight}};
    Control Label1_1{board, "Label1(1)", "Port ", {Kind::Heading, 2160, 120}};
    ComboControl cbxPortSel{board, "cbxPortSel", "", {Kind::ComboBox, 2160, 360, 1815}};
    Control Label1_2{board, "Label1(2)", "Description", {Kind::Heading, 4200, 120}};
    TextControl Description{board, "Description", "", {Kind::TextBox, 4200, 360, 3855, kTextBoxHeight}};
    Control Label1_3{board, "Label1(3)", "# of Consecutive Timeout to Send Alert", {Kind::Heading, 120, 840}};
    ComboControl num_Timeout{board, "num_Timeout", "", {Kind::ComboBox, 3240, 840, 735}};
    // Each button reaches to two pixels short of the next one's left edge; Exit is as wide as View Log.
    Control cmdAdd{board, "cmdAdd", "&Add", {Kind::Button, 120, kButtonTop, 690, kButtonHeight}};
    Control cmdDelete{board, "cmdDelete", "&Delete Entry", {Kind::Button, 840, kButtonTop, 1170, kButtonHeight}};
    Control cmdSetting{board, "cmdSetting", "&Alert Settings", {Kind::Button, 2040, kButtonTop, 1290, kButtonHeight}};
    Control cmdMonitor{board, "cmdMonitor", "&Start Monitor", {Kind::Button, 3360, kButtonTop, 1170, kButtonHeight}};
    Control cmdLog{board, "cmdLog", "&View Log", {Kind::Button, 4560, kButtonTop, 1050, kButtonHeight}};
    Control cmdExit{board, "cmdExit", "&Exit", {Kind::Button, 5640, kButtonTop, 1050, kButtonHeight}};
    Control lblTimeinterval{board,
                            "lblTimeinterval",
                            "Time Interval Cycle For Monitoring :10 Seconds",
                            {Kind::Label, 120, 7200, 0, 0, Ink::DarkBlue}};
    Control lblTimeout{
        board, "lblTimeout", "Connecting Timeout Value :10 Seconds ", {Kind::Label, 5160, 7200, 0, 0, Ink::DarkBlue}};
    Control Label2{board, "Label2", "Current Checking Status", {Kind::Label, 120, 7560, 0, 0, Ink::DarkRed},
                   true,  false};
    Control Label4{board,
                   "Label4",
                   "Need SMS alert to Mobile Phones Click Here ",
                   {Kind::Link, 120, 7920, 0, 0, Ink::Default, true}};
    Control Label7{board, "Label7", "0", {Kind::Label, 7800, 7920, 0, 0, Ink::Default, true}, true, false};
};

} // namespace wardel
