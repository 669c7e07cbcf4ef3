#pragma once

#include <QKeyEvent>
#include <QPushButton>

namespace wardel::qt {

// A button that Enter or Return presses while it has the focus, as Space does. It is never a dialog's
// default button, so Enter in a box of the dialog presses nothing by surprise.
class PushButton : public QPushButton {
public:
    explicit PushButton(QWidget* parent = nullptr) : QPushButton(parent) { setAutoDefault(false); }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
            click();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

} // namespace wardel::qt
