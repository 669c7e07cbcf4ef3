#include "ui/app_icon.h"

#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace wardel::qt {

namespace {

// The same picture the desktop entry shows; the SVG image plugin renders it.
const QString kIconResource = QStringLiteral(":/icons/wardel.svg");

// The SVG drawn again in code, for a system without the SVG image plugin.
QPixmap drawIcon(int size) {
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

QPixmap iconPixmap(int size) {
    QImageReader reader(kIconResource);
    reader.setScaledSize(QSize(size, size));
    const QImage image = reader.read();
    return image.isNull() ? drawIcon(size) : QPixmap::fromImage(image);
}

} // namespace

QIcon wardelIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64})
        icon.addPixmap(iconPixmap(size));
    return icon;
}

} // namespace wardel::qt
