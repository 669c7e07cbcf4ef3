#include "ui/app_icon.h"

#include <QImageReader>
#include <gtest/gtest.h>

namespace {

// The window and the tray show the committed SVG, not the fallback drawn in code: this needs the icon
// compiled in and Qt's SVG image plugin present.
TEST(AppIcon, ShowsTheCommittedSvgAtEachSize) {
    const QIcon icon = wardel::qt::wardelIcon();
    for (const int size : {16, 32, 64}) {
        QImageReader reader(QStringLiteral(":/icons/wardel.svg"));
        reader.setScaledSize(QSize(size, size));
        const QImage svg = reader.read();
        ASSERT_FALSE(svg.isNull()) << size << " px: " << reader.errorString().toStdString();
        EXPECT_EQ(icon.pixmap(size).toImage().convertToFormat(svg.format()), svg) << size << " px";
    }
}

} // namespace
