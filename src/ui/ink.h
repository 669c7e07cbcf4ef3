#pragma once

#include <QColor>

class QWidget;

namespace wardel::qt {

// The contrast of two colours as the web's accessibility guidelines measure it: 1 (none) to 21.
double contrastRatio(const QColor& a, const QColor& b);

// The colour a coloured text takes on `background`: the wanted colour where it reads at 4.5:1 or better,
// else the nearest shade of the same hue that does, lighter on a dark background and darker on a light one.
QColor readableInk(const QColor& wanted, const QColor& background);

// Draws the widget's text in `wanted`, made readable on the window's background, while the widget is
// enabled; a disabled widget takes the palette's own disabled text colour.
void setInk(QWidget* widget, const QColor& wanted);
// Makes the inks of the window's widgets readable again on its background, after a change of palette.
void refreshInks(QWidget* window);

} // namespace wardel::qt
