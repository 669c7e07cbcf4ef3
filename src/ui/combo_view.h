#pragma once

class QComboBox;

namespace wardel {
class ComboControl;
} // namespace wardel

namespace wardel::qt {

// Shows a combo box control's list, selected entry and edit text without raising the box's signals, so the
// operator's handlers never hear the model's own values echo back. Unchanged parts are left alone.
void showComboControl(QComboBox* combo, const ComboControl& control);

} // namespace wardel::qt
