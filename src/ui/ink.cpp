#include "ui/ink.h"

#include <QPalette>
#include <QVariant>
#include <QWidget>
#include <cmath>

namespace wardel::qt {

namespace {

constexpr double kReadable = 4.5;
constexpr const char* kInkProperty = "wardelInk";

double luminance(const QColor& color) {
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = color.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

QColor background(const QWidget* widget) {
    return widget->window()->palette().color(QPalette::Active, QPalette::Window);
}

void applyInk(QWidget* widget, const QColor& wanted) {
    const QColor ink = readableInk(wanted, background(widget));
    QPalette palette = widget->palette();
    // The disabled group is left to the palette, so a disabled text looks disabled.
    for (const auto group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::WindowText, ink);
    widget->setPalette(palette);
}

} // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableInk(const QColor& wanted, const QColor& background) {
    if (contrastRatio(wanted, background) >= kReadable)
        return wanted;
    const QColor hsl = wanted.toHsl();
    const double step = luminance(background) < 0.18 ? 0.01 : -0.01;
    for (double lightness = hsl.lightnessF(); lightness >= 0.0 && lightness <= 1.0; lightness += step) {
        const QColor shade = QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), static_cast<float>(lightness));
        if (contrastRatio(shade, background) >= kReadable)
            return shade;
    }
    return step > 0 ? QColor(Qt::white) : QColor(Qt::black);
}

void setInk(QWidget* widget, const QColor& wanted) {
    widget->setProperty(kInkProperty, wanted);
    applyInk(widget, wanted);
}

void refreshInks(QWidget* window) {
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        const QVariant wanted = widget->property(kInkProperty);
        if (wanted.isValid())
            applyInk(widget, wanted.value<QColor>());
    }
}

} // namespace wardel::qt
