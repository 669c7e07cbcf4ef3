#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/subscription.h"

namespace wardel {

class Control;

// The controls of one form, in the order they were made, and the notice of which one changed: the view
// builds a widget for each control on the list and listens here for new values.
class ControlBoard {
public:
    ControlBoard() = default;
    ControlBoard(const ControlBoard&) = delete;
    ControlBoard& operator=(const ControlBoard&) = delete;

    // One listener at a time.
    Subscription subscribe(std::function<void(const Control&)> listener) {
        return changed_.subscribe(std::move(listener));
    }
    void changed(const Control& control) const { changed_.notify(control); }

    // Every control of the form, in design order.
    const std::vector<Control*>& all() const { return controls_; }

private:
    friend class Control;
    SingleObserver<const Control&> changed_;
    std::vector<Control*> controls_;
};

// How a control looks on its form: its kind, its place in twips (15 to the pixel; a size of 0 leaves the
// size to the toolkit) and its lettering.
struct ControlDesign {
    enum class Kind { Caption, Label, Heading, Link, TextBox, ComboBox, Button, CheckBox, Frame };
    enum class Ink { Default, DarkBlue, DarkRed };

    Kind kind = Kind::Label;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    Ink ink = Ink::Default;
    bool bold = false;
};

// The plain values of one named control: caption or text, enabled, visible, checked.
// Setters notify the board only when a value really changes.
class Control {
public:
    Control(ControlBoard& board, std::string name, std::string text, ControlDesign design = {}, bool enabled = true,
            bool visible = true)
        : board_(board), name_(std::move(name)), text_(std::move(text)), design_(design), enabled_(enabled),
          visible_(visible) {
        board_.controls_.push_back(this);
    }
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    const std::string& name() const { return name_; }
    const ControlDesign& design() const { return design_; }
    const std::string& text() const { return text_; }
    bool enabled() const { return enabled_; }
    bool visible() const { return visible_; }
    bool checked() const { return checked_; }

    void setText(std::string text) { update(text_, std::move(text)); }
    void setEnabled(bool on) { update(enabled_, on); }
    void setVisible(bool on) { update(visible_, on); }
    void setChecked(bool on) { update(checked_, on); }

    // The control's click event procedure, bound once by the form that owns the control.
    void setClickProcedure(std::function<void()> procedure) { onClick_ = std::move(procedure); }
    // The operator clicked the control.
    void click() {
        if (onClick_)
            onClick_();
    }

protected:
    // The design of a control whose class fixes its kind.
    static ControlDesign ofKind(ControlDesign design, ControlDesign::Kind kind) {
        design.kind = kind;
        return design;
    }
    template <typename T> void update(T& field, T value) {
        if (field == value)
            return;
        field = std::move(value);
        board_.changed(*this);
    }

private:
    ControlBoard& board_;
    std::string name_;
    std::string text_;
    ControlDesign design_;
    std::function<void()> onClick_;
    bool enabled_;
    bool visible_;
    bool checked_ = false;
};

// A check box: its caption and whether it is ticked. A control of this class can only be shown by a check box.
class CheckControl : public Control {
public:
    CheckControl(ControlBoard& board, std::string name, std::string text, ControlDesign design = {})
        : Control(board, std::move(name), std::move(text), ofKind(design, ControlDesign::Kind::CheckBox)) {}
};

// A one-line text box the operator types into. A control of this class can only be shown by a text box.
class TextControl : public Control {
public:
    TextControl(ControlBoard& board, std::string name, std::string text, ControlDesign design = {})
        : Control(board, std::move(name), std::move(text), ofKind(design, ControlDesign::Kind::TextBox)) {}
};

// An editable combo box: a list of entries, the selected entry, and the text in its edit field.
class ComboControl : public Control {
public:
    ComboControl(ControlBoard& board, std::string name, std::string text, ControlDesign design = {})
        : Control(board, std::move(name), std::move(text), ofKind(design, ControlDesign::Kind::ComboBox)) {}

    const std::vector<std::string>& items() const { return items_; }
    int selectedIndex() const { return selected_; }
    void setItems(std::vector<std::string> items) {
        selected_ = -1;
        update(items_, std::move(items));
    }
    // Selecting an entry puts its text into the edit field, as a list choice does.
    void select(int index) {
        if (index < 0 || index >= static_cast<int>(items_.size()))
            return;
        update(selected_, index);
        setText(items_[static_cast<std::size_t>(index)]);
    }

private:
    std::vector<std::string> items_;
    int selected_ = -1;
};

} // namespace wardel
