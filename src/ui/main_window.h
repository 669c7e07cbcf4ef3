#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/subscription.h"
#include "platform/window_port.h"

namespace wardel {
class AlertSetting;
class Control;
class SMSPort;
} // namespace wardel

namespace wardel::qt {

class AlertSettingDialog;
class FormBinding;
class HistoryView;
class HostGridView;
class HostTableModel;
class LogView;

// The main window SMSPort on screen. The widgets sit at their design places (twips / 15) in a client area of
// 556 x 552 pixels, the window's least size. A larger window gives the grid the extra height and the grid and
// the log box the extra width; the controls above the grid keep their places from the top left corner, those
// below the log box from the bottom edge and the nearer side. The window only shows the control values of
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
    // Run once, from the event loop, after the window's first paint.
    void setFirstPaintAction(std::function<void()> action) { firstPaint_ = std::move(action); }
    // The History window of a grid row's target, opened or brought forward; null for a row without a host.
    HistoryView* openHistory(int row);

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
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // One widget at its design place, and how it follows a larger window.
    struct Placed {
        QWidget* widget;
        QRect design; // in pixels, in the window of the least size
        bool right;   // keeps its distance from the right edge
        bool bottom;  // keeps its distance from the bottom edge
        bool wider;   // takes the extra width
        bool taller;  // takes the extra height
    };

    void bindControls(SMSPort& port);
    // A widget for the control, dressed and placed as its design says.
    template <typename Widget> Widget* made(const Control& control);
    void place(QWidget* widget, int left, int top, int width, int height, bool wider = false, bool taller = false);
    void layOut();
    // Runs an operator action on the model unless the window is detached or the program has ended.
    void forward(const std::function<void(SMSPort&)>& action);
    // The settings dialog's window follows its model: made with it, gone with it.
    void followAlertSetting(AlertSetting* model);

    SMSPort* port_ = nullptr;
    std::unique_ptr<FormBinding> binding_;
    std::vector<Placed> placed_;
    std::unique_ptr<HostTableModel> gridModel_;
    HostGridView* grid_ = nullptr;
    LogView* log_ = nullptr;
    QPointer<AlertSettingDialog> settingsDialog_;
    bool frontPending_ = false;
    std::function<void()> ender_;
    std::function<void()> firstPaint_;
    std::map<std::pair<std::string, std::string>, QPointer<HistoryView>> histories_; // open, by target
    Subscription alertSettingListener_;
};

} // namespace wardel::qt
