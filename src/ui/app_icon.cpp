#include "ui/app_icon.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>

namespace wardel::qt {

namespace {

// The same picture the desktop entry shows; the SVG image plugin renders it.
const QString kIconResource = QStringLiteral(":/icons/wardel.svg");

// The pulse line's colour in the SVG, and in each state.
const QByteArray kPulseColour = QByteArrayLiteral("#00dc5a");
const char* const kFailingColour = "#ffb000";
const char* const kAlertedColour = "#ff2a2a";

// The SVG drawn again in code, for a system without the SVG image plugin.
QPixmap drawIcon(int size, const QColor& pulseColour = QColor(0, 220, 90)) {
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
    painter.setPen(QPen(pulseColour, s / 10, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
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

// The SVG with its pulse line in another colour, or the drawn icon in that colour without the plugin.
QPixmap recolouredPixmap(int size, const char* pulseColour) {
    QFile file(kIconResource);
    QByteArray svg = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    svg.replace(kPulseColour, pulseColour);
    QBuffer buffer(&svg);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "svg");
    reader.setScaledSize(QSize(size, size));
    const QImage image = reader.read();
    return image.isNull() ? drawIcon(size, QColor(pulseColour)) : QPixmap::fromImage(image);
}

// A round badge in the lower right corner with a white rim, so it stands out on any panel.
void paintBadge(QPixmap& pixmap, const char* colour) {
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = pixmap.width();
    const qreal diameter = s * 0.5;
    const QRectF badge(s - diameter - 0.5, s - diameter - 0.5, diameter, diameter);
    painter.setPen(QPen(Qt::white, std::max<qreal>(1.0, s / 16)));
    painter.setBrush(QColor(colour));
    painter.drawEllipse(badge);
}

} // namespace

QIcon wardelIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64})
        icon.addPixmap(iconPixmap(size));
    return icon;
}

QIcon wardelTrayIcon(TrayIcon::State state) {
    if (state == TrayIcon::State::Normal)
        return wardelIcon();
    const char* colour = state == TrayIcon::State::Alerted ? kAlertedColour : kFailingColour;
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64}) {
        QPixmap pixmap = recolouredPixmap(size, colour);
        paintBadge(pixmap, colour);
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace wardel::qt
