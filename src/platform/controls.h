#pragma once

#include <functional>
#include <string>
#include <vector>

namespace wardel {

class Control;

// Tells the view which control changed; the Qt widgets listen here and show the new values.
class ControlBoard {
public:
    void setListener(std::function<void(const Control&)> listener) { listener_ = std::move(listener); }
    void changed(const Control& control) const {
        if (listener_)
            listener_(control);
    }

private:
    std::function<void(const Control&)> listener_;
};

// The plain values of one named control: caption or text, enabled, visible, checked.
// Setters notify the board only when a value really changes.
class Control {
public:
    Control(ControlBoard& board, std::string name, std::string text, bool enabled = true, bool visible = true)
        : board_(board), name_(std::move(name)), text_(std::move(text)), enabled_(enabled), visible_(visible) {}
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    const std::string& name() const { return name_; }
    const std::string& text() const { return text_; }
    bool enabled() const { return enabled_; }
    bool visible() const { return visible_; }
    bool checked() const { return checked_; }

    void setText(std::string text) { update(text_, std::move(text)); }
    void setEnabled(bool on) { update(enabled_, on); }
    void setVisible(bool on) { update(visible_, on); }
    void setChecked(bool on) { update(checked_, on); }

protected:
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
    bool enabled_;
    bool visible_;
    bool checked_ = false;
};

// An editable combo box: a list of entries, the selected entry, and the text in its edit field.
class ComboControl : public Control {
public:
    using Control::Control;

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

}  // namespace wardel
