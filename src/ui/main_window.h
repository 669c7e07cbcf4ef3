#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

#include "common/subscription.h"
#include "platform/window_port.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace wardel {
class AlertSetting;
class ComboControl;
class Control;
class SMSPort;
} // namespace wardel

namespace wardel::qt {

class AlertSettingDialog;
class HostGridView;
class HostTableModel;
class LogView;

// The main window SMSPort on screen. The widgets sit at fixed positions (twips / 15) in a client area of
// 556 x 552 pixels and do not move when the window is resized. The window only shows the control values of
// the SMSPort model and hands every operator action to it; it is also the model's WindowPort.
//
// The window exists before the model (the model's platform needs it), so it is built empty and attached
// to the model afterwards; detach() before the model goes away.
class MainWindow : public QWidget, public WindowPort {
    Q_OBJECT
public:
    MainWindow();
    ~MainWindow() override;

    void attach(SMSPort& port);
    void detach();

    // What endProgram() does after the program-ended gate is closed: by default it leaves the event loop.
    void setProgramEnder(std::function<void()> ender) { ender_ = std::move(ender); }

    // WindowPort
    void show() override;
    void hide() override;
    bool visible() const override;
    void setNormalState() override;
    void bringToFront() override;
    void center() override;
    void endProgram() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // A widget for the control as its design says, wired to hand the operator's edits and clicks to the
    // model by the control's name; null for the window's caption.
    QWidget* buildControl(const Control& control);
    void place(QWidget* widget, int left, int top, int width, int height);
    void click(const std::string& name);
    void showControl(const Control& control);
    // The model's control of that name while the window may still act on it, else null.
    Control* liveControl(const std::string& name) const;
    void textEdited(const std::string& name, const QString& text);
    // Runs an operator action on the model unless the window is detached or the program has ended.
    void forward(const std::function<void(SMSPort&)>& action);
    // The settings dialog's window follows its model: made with it, gone with it.
    void followAlertSetting(AlertSetting* model);

    SMSPort* port_ = nullptr;
    std::unordered_map<std::string, QWidget*> widgets_;  // by control name
    std::unordered_map<std::string, Control*> controls_; // the attached model's, by name
    std::unique_ptr<HostTableModel> gridModel_;
    HostGridView* grid_ = nullptr;
    LogView* log_ = nullptr;
    QPointer<AlertSettingDialog> settingsDialog_;
    bool frontPending_ = false;
    std::function<void()> ender_;
    Subscription boardListener_;
    Subscription alertSettingListener_;
};

} // namespace wardel::qt
