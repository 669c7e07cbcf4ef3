#include "ui/app_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace wardel::qt {

namespace {

// A dark blue tile with a green pulse line: a watch kept on a line.
QPixmap DrawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 128));
    painter.drawRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s / 6, s / 6);

    QPainterPath pulse;
    pulse.moveTo(s * 0.08, s * 0.55);
    pulse.lineTo(s * 0.33, s * 0.55);
    pulse.lineTo(s * 0.43, s * 0.22);
    pulse.lineTo(s * 0.57, s * 0.80);
    pulse.lineTo(s * 0.67, s * 0.55);
    pulse.lineTo(s * 0.92, s * 0.55);
    painter.setPen(QPen(QColor(0, 220, 90), s / 10, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(pulse);
    return pixmap;
}

} // namespace

QIcon WardelIcon() {
    QIcon icon;
    icon.addPixmap(DrawIcon(16));
    icon.addPixmap(DrawIcon(32));
    return icon;
}

} // namespace wardel::qt
