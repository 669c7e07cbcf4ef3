#pragma once

#include "platform/controls.h"

namespace wardel {

// The named controls of the main window SMSPort as plain values, with their design-time captions.
// The grid is the HostTable and the log box the LogBox; the timers live in AppContext.
struct MainControls {
    ControlBoard board;

    Control SMSPort{board, "SMSPort", "Wardel "};  // the window caption
    Control Label1_0{board, "Label1(0)", "Host Name / IP Address"};
    Control txtIpAddress{board, "txtIpAddress", ""};
    Control Label1_1{board, "Label1(1)", "Port "};
    ComboControl cbxPortSel{board, "cbxPortSel", ""};
    Control Label1_2{board, "Label1(2)", "Description"};
    Control Description{board, "Description", ""};
    Control Label1_3{board, "Label1(3)", "# of Consecutive Timeout to Send Alert"};
    ComboControl num_Timeout{board, "num_Timeout", ""};
    Control cmdAdd{board, "cmdAdd", "&Add"};
    Control cmdDelete{board, "cmdDelete", "&Delete Entry"};
    Control cmdSetting{board, "cmdSetting", "&Alert Settings"};
    Control cmdMonitor{board, "cmdMonitor", "&Start Monitor"};
    Control cmdLog{board, "cmdLog", "&View Log"};
    Control cmdExit{board, "cmdExit", "&Exit"};
    Control lblTimeinterval{board, "lblTimeinterval", "Time Interval Cycle For Monitoring :10 Seconds"};
    Control lblTimeout{board, "lblTimeout", "Connecting Timeout Value :10 Seconds "};
    Control Label2{board, "Label2", "Current Checking Status", true, false};
    Control Label4{board, "Label4", "Need SMS alert to Mobile Phones Click Here "};
    Control Label7{board, "Label7", "0", true, false};
};

}  // namespace wardel
