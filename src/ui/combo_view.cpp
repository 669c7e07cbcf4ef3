#include "ui/combo_view.h"

#include <QComboBox>
#include <QSignalBlocker>

#include "platform/controls.h"

namespace wardel::qt {

void showComboControl(QComboBox* combo, const ComboControl& control) {
    const QSignalBlocker quiet(combo);
    const auto& items = control.items();
    bool sameItems = combo->count() == static_cast<int>(items.size());
    for (int i = 0; sameItems && i < combo->count(); ++i)
        sameItems = combo->itemText(i).toStdString() == items[static_cast<std::size_t>(i)];
    if (!sameItems) {
        combo->clear();
        for (const auto& item : items)
            combo->addItem(QString::fromStdString(item));
    }
    if (combo->currentIndex() != control.selectedIndex())
        combo->setCurrentIndex(control.selectedIndex());
    const QString text = QString::fromStdString(control.text());
    if (combo->currentText() != text)
        combo->setEditText(text);
}

} // namespace wardel::qt
