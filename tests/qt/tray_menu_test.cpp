#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/autostart.h"
#include "common/text_file.h"
#include "support/window_rig.h"
#include "ui/tray_menu.h"

namespace wardel::test {
namespace {

struct MenuRig : WindowRig {
    MenuRig() {
        table.setCell(1, HostTable::colHost, "127.0.0.1");
        table.setCell(1, HostTable::colPort, "9");
    }
    QAction* item(const QString& text) {
        for (QAction* action : menu.actions())
            if (action->text() == text)
                return action;
        ADD_FAILURE() << text.toStdString();
        return nullptr;
    }
    TempFolder config;
    std::filesystem::path autostart = autostartFile(config.path().c_str(), "/nonexistent");
    qt::TrayMenu menu{port, QStringLiteral("/opt/my \"copy\"/wardel"), autostart};
};

TEST(TrayMenu, ItemsFollowTheWindowAndEndItAsTheExitButtonDoes) {
    MenuRig rig;
    QStringList texts;
    for (QAction* action : rig.menu.actions())
        texts << action->text();
    EXPECT_EQ(texts, (QStringList{"Show Wardel", "&Start Monitor", "", "Alert Settings", "Alertmanager…",
                                  "Start at Login", "", "Exit"}));

    rig.item("&Start Monitor")->trigger();
    EXPECT_EQ(rig.controls.cmdMonitor.text(), "&Stop Monitor");
    EXPECT_EQ(rig.menu.actions()[1]->text(), QStringLiteral("&Stop Monitor"));
    rig.controls.cmdMonitor.click();
    emit rig.menu.aboutToShow();
    EXPECT_EQ(rig.menu.actions()[1]->text(), QStringLiteral("&Start Monitor")) << "the caption of the button";

    rig.item("Alertmanager…")->trigger();
    qt::AlertmanagerDialog* dialog = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = dynamic_cast<qt::AlertmanagerDialog*>(w); d && d->isVisible())
            dialog = d;
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QLineEdit*>("alertmanagerUrl")->setText(" http://127.0.0.1:9095 ");
    QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save), Qt::LeftButton);
    EXPECT_EQ(readWholeFile(rig.folder / "alertmanager.ini").value_or(""), "http://127.0.0.1:9095\r\n");

    rig.item("Exit")->trigger();
    EXPECT_EQ(rig.programEnds, 1);
    EXPECT_EQ(rig.logLines().value(0).right(20), QStringLiteral("Wardel Program Ended"));
}

TEST(TrayMenu, StartAtLoginWritesReadsAndRemovesTheAutostartEntry) {
    MenuRig rig;
    QAction* startAtLogin = rig.item("Start at Login");
    EXPECT_EQ(rig.autostart, rig.config / "autostart" / "wardel.desktop");
    EXPECT_FALSE(startAtLogin->isChecked());
    startAtLogin->trigger();
    EXPECT_TRUE(startAtLogin->isChecked());
    const std::string entry = readWholeFile(rig.autostart).value_or("");
    EXPECT_NE(entry.find("\nExec=\"/opt/my \\\\\"copy\\\\\"/wardel\"\n"), std::string::npos) << entry;

    std::filesystem::remove(rig.autostart); // by hand
    emit rig.menu.aboutToShow();
    EXPECT_FALSE(startAtLogin->isChecked());
    startAtLogin->trigger();
    startAtLogin->trigger();
    EXPECT_FALSE(std::filesystem::exists(rig.autostart));
}

} // namespace
} // namespace wardel::test
