#pragma once

#include <concepts>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "common/subscription.h"

class QCheckBox;
class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace wardel {
class CheckControl;
class ComboControl;
class Control;
class ControlBoard;
class TextControl;
} // namespace wardel

namespace wardel::qt {

class LinkLabel;

// One control of a form shown in its widget. Each kind of widget has its own binding, made once, so the
// widget's type is known where its values are shown and its signals connected.
class ControlBinding {
public:
    ControlBinding(const Control& control, QWidget* widget) : control_(control), widget_(widget) {}
    ControlBinding(const ControlBinding&) = delete;
    ControlBinding& operator=(const ControlBinding&) = delete;
    virtual ~ControlBinding() = default;

    const Control& control() const { return control_; }
    QWidget* widget() const { return widget_; }
    // Shows the control's present values in the widget.
    virtual void show() = 0;
    // Whether a new value may wait while the form's window is hidden in the tray: what needs laying out
    // and changes at every probe.
    virtual bool waitsWhileHidden() const { return false; }

private:
    const Control& control_;
    QWidget* widget_;
};

// Every control of one form bound to the widget that shows it. The form makes its widgets, binds each to its
// control with the overload for the widget's kind, then seals the binding. The binding shows the control's
// values, follows the board from then on, and hands the operator's edits, choices and clicks to the model
// while the form is attached and the program runs: it is the one place that decides whether an operator's
// action may still reach the model. A click on a button, link or check box runs the control's click
// procedure, which its model bound. Each widget takes its control's name as objectName.
//
// A check box, text box or combo box binds only its own class of control; a label, link, button or frame
// only a plain control. Binding a control to a widget of another kind does not compile.
//
// A control of the board that is bound to no widget is a fault of the form, and seal() throws
// std::logic_error naming it, so a control added to a model without its widget stops the form from being
// made instead of sitting unseen.
class FormBinding {
public:
    using Action = std::function<void()>;
    // How an operator's action reaches the model; by default it runs at once. The settings dialog's goes
    // through its owner, which destroys a dialog that asked to close once the action has returned.
    using Route = std::function<void(const Action&)>;
    // How a label takes the width of its text: its layout gives it, or it sizes itself (a form of fixed
    // places).
    enum class Sizing { Layout, ToText };

    explicit FormBinding(ControlBoard& board, Sizing labels = Sizing::Layout, Route route = {});
    ~FormBinding();
    FormBinding(const FormBinding&) = delete;
    FormBinding& operator=(const FormBinding&) = delete;

    QLabel* bind(std::same_as<Control> auto& control, QLabel* label) { return bindLabel(control, label); }
    LinkLabel* bind(std::same_as<Control> auto& control, LinkLabel* link) { return bindLink(control, link); }
    QPushButton* bind(std::same_as<Control> auto& control, QPushButton* button) { return bindButton(control, button); }
    QGroupBox* bind(std::same_as<Control> auto& control, QGroupBox* frame) { return bindFrame(control, frame); }
    QCheckBox* bind(CheckControl& control, QCheckBox* box);
    QLineEdit* bind(TextControl& control, QLineEdit* box);
    QComboBox* bind(ComboControl& control, QComboBox* box);
    // The control is the window's caption.
    void bindCaption(Control& control, QWidget* window);
    // The control is the dialog window itself: its caption, and shown in front while the control is visible.
    void bindDialog(Control& control, QDialog* dialog);

    // Shows every control and follows the board; throws std::logic_error when a control has no widget.
    void seal();
    // The window is hidden in the tray, or shown again. While it is hidden, the controls that would be laid
    // out anew at every change keep their newest values waiting and show them as the window comes back, so a
    // monitor that spends its day in the tray lays out nothing nobody sees.
    void setWindowHidden(bool hidden);
    // The model is going: nothing more is shown or handed to it.
    void detach();
    bool live() const;
    // Whether an operator's action may still reach the model: the form is attached and the program runs.
    bool open() const;
    // Hands an operator's action to the model by the form's route, while the form is open.
    void forward(const Action& action) const;

    // The widgets of the form's controls, in the board's order.
    std::vector<QWidget*> widgets() const;

    // The form's gate to its model, shared with the widgets' signal handlers.
    struct Gate;

private:
    template <typename Binding, typename Model, typename Widget, typename... Args>
    Widget* add(Model& control, Widget* widget, Args&&... args);
    QLabel* bindLabel(Control& control, QLabel* label);
    LinkLabel* bindLink(Control& control, LinkLabel* link);
    QPushButton* bindButton(Control& control, QPushButton* button);
    QGroupBox* bindFrame(Control& control, QGroupBox* frame);
    void show(const Control& control);

    ControlBoard* board_;
    Sizing labels_;
    std::unordered_map<const Control*, std::unique_ptr<ControlBinding>> bindings_;
    std::shared_ptr<Gate> gate_;
    bool windowHidden_ = false;
    std::vector<const Control*> waiting_; // changed while the window was hidden
    Subscription boardListener_;
};

} // namespace wardel::qt
