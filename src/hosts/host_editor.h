#pragma once

#include "app/app_context.h"

namespace wardel {

// Entry, deletion and selection of targets in the host grid, and the host list file host.ini.
class HostEditor {
public:
    explicit HostEditor(AppContext& ctx);

    void cmdAdd_Click();
    void cmdDelete_Click();
    void grdHotGrid_Click(int row);

    void LoadHostList();
    void SaveHostList();

private:
    AppContext& ctx_;
};

}  // namespace wardel
