#include "ui/cursor_blink_rest.h"

#include <QApplication>
#include <QEvent>

namespace wardel::qt {

CursorBlinkRest::CursorBlinkRest(std::chrono::milliseconds restAfter) : flashTime_(QApplication::cursorFlashTime()) {
    untouched_.setSingleShot(true);
    untouched_.setInterval(restAfter);
    connect(&untouched_, &QTimer::timeout, this, &CursorBlinkRest::rest);
    qApp->installEventFilter(this);
    untouched_.start();
}

CursorBlinkRest::~CursorBlinkRest() {
    qApp->removeEventFilter(this);
    wake();
}

bool CursorBlinkRest::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::InputMethod:
        // One hand movement reaches the filter once per widget it passes through; the restart is cheap.
        wake();
        untouched_.start();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void CursorBlinkRest::rest() {
    if (resting_ || flashTime_ <= 0)
        return;
    resting_ = true;
    // A flash time of 0 keeps the cursor shown; the text boxes take the change at once.
    QApplication::setCursorFlashTime(0);
}

void CursorBlinkRest::wake() {
    if (!resting_)
        return;
    resting_ = false;
    QApplication::setCursorFlashTime(flashTime_);
}

} // namespace wardel::qt
