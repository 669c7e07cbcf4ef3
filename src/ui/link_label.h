#pragma once

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <functional>

namespace wardel::qt {

// A label that acts as a link: a left click on it is reported. One that looks like a link is underlined
// while it is enabled; disabled, it looks like any disabled text. One made a keyboard link takes its place
// in the tab order, opens with Enter, Return or Space as a click does, shows a focus frame, and a screen
// reader hears it as a link it can open.
class LinkLabel : public QLabel {
public:
    explicit LinkLabel(QWidget* parent = nullptr);
    std::function<void()> onClick;

    void setUnderlined(bool on) {
        underlined_ = on;
        showUnderline();
    }
    void setKeyboardLink(bool on) { setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus); }
    bool isKeyboardLink() const { return focusPolicy() != Qt::NoFocus; }
    // As a click does, when the link is enabled.
    void open() {
        if (isEnabled() && onClick)
            onClick();
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QLabel::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            open();
    }
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::EnabledChange)
            showUnderline();
    }

private:
    void showUnderline() {
        QFont f = font();
        if (f.underline() == (underlined_ && isEnabled()))
            return;
        f.setUnderline(underlined_ && isEnabled());
        setFont(f);
    }

    bool underlined_ = false;
};

} // namespace wardel::qt
