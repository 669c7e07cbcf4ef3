#include "hosts/host_editor.h"

namespace wardel {

HostEditor::HostEditor(AppContext& ctx) : ctx_(ctx) {}

void HostEditor::cmdAdd_Click() {}
void HostEditor::cmdDelete_Click() {}
void HostEditor::grdHotGrid_Click(int) {}
void HostEditor::LoadHostList() {}
void HostEditor::SaveHostList() {}

}  // namespace wardel
