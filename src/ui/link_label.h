#pragma once

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <functional>

namespace wardel::qt {

// A label that acts as a link: a left click on it is reported. One that looks like a link is underlined
// while it is enabled; disabled, it looks like any disabled text.
class LinkLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onClick;

    void setUnderlined(bool on) {
        underlined_ = on;
        showUnderline();
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QLabel::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick)
            onClick();
    }
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
