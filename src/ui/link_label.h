#pragma once

#include <QLabel>
#include <QMouseEvent>
#include <functional>

namespace wardel::qt {

// A label that acts as a link: a left click on it is reported.
class LinkLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QLabel::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick)
            onClick();
    }
};

} // namespace wardel::qt
