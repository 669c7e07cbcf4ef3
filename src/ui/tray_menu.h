#pragma once

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <filesystem>

#include "app/sms_port.h"

namespace wardel::qt {

// The Alertmanager's base URL: a field, "Test" (posts a test alert and says what came back), Save, Cancel.
class AlertmanagerDialog : public QDialog {
public:
    explicit AlertmanagerDialog(SMSPort& port, QWidget* parent = nullptr);

private:
    void test();
    void save();

    SMSPort& port_;
    QLineEdit* url_;
    QLabel* answer_;
};

// The tray icon's context menu (a right click on an XEmbed tray, the item's menu on a StatusNotifierItem
// host): the window, monitoring as the window's monitor button has it, the two settings dialogs, start at
// login and the end of the program.
class TrayMenu : public QMenu {
public:
    // `executable` is the running program, for the autostart entry; `autostart` the entry's file.
    TrayMenu(SMSPort& port, QString executable, std::filesystem::path autostart);

private:
    // The captions and check marks as they stand now.
    void refresh();

    SMSPort& port_;
    QString executable_;
    std::filesystem::path autostart_;
    QAction* monitor_;
    QAction* startAtLogin_;
    QPointer<AlertmanagerDialog> alertmanager_;
};

} // namespace wardel::qt
