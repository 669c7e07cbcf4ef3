#include "ui/app_icon.h"

#include <vector>

#include <QImageReader>
#include <gtest/gtest.h>

#include "platform/qt/qt_tray_icon.h"

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

namespace wardel::qt {
namespace {

// The tray shows each state with a picture of its own, the program's icon while all is well.
TEST(AppIcon, TrayShowsEachStateWithAPictureOfItsOwn) {
    using State = TrayIcon::State;
    const State states[] = {State::Normal, State::Failing, State::Alerted};
    QtTrayIcon tray({wardelTrayIcon(State::Normal), wardelTrayIcon(State::Failing), wardelTrayIcon(State::Alerted)});
    std::vector<QImage> shown;
    for (const State state : states) {
        tray.showState(state);
        shown.push_back(tray.icon().icon().pixmap(16).toImage());
    }
    EXPECT_EQ(shown[0], wardelIcon().pixmap(16).toImage());
    EXPECT_NE(shown[0], shown[1]);
    EXPECT_NE(shown[1], shown[2]);
    EXPECT_NE(shown[0], shown[2]);
}

} // namespace
} // namespace wardel::qt
