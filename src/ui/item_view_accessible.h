#pragma once

namespace wardel::qt {

// Makes every table and list view of the program (the host grid, a combo box's drop-down list) answer a
// screen reader through an accessible table that checks each row, column and child number it is asked for.
// Qt 6.4's own one dereferences the cell it finds, and finds none for a number outside the table or for a
// view without a current cell, so a reader's question could end the program. Call once, after the
// application object exists.
void installItemViewAccessibility();

} // namespace wardel::qt
