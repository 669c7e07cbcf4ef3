#include "ui/control_binding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <stdexcept>

#include "platform/controls.h"
#include "platform/qt/program_end.h"
#include "ui/combo_view.h"
#include "ui/link_label.h"

namespace wardel::qt {

// An action may reach the model while the form is attached and the program runs.
struct FormBinding::Gate {
    bool live = true;
    Route route;

    bool open() const { return live && !programEnded(); }
    void forward(const Action& action) const {
        if (!open())
            return;
        if (route)
            route(action);
        else
            action();
    }
};

namespace {

using SharedGate = std::shared_ptr<FormBinding::Gate>;

// A click runs the control's click procedure, by the form's route.
void clickThrough(const SharedGate& gate, Control& control);

// A label takes the width of its text. The exact width needs a full layout of the text, as costly as
// painting it, and the status line changes at every probe; so the label keeps some room to spare and is
// sized again only when its text no longer fits in it or leaves far more room than that.
void fitToText(QLabel* label) {
    const QString text = label->text();
    const QFontMetrics metrics = label->fontMetrics();
    const int spare = metrics.height();
    if (!text.contains(QLatin1Char('\n'))) {
        const int advance = metrics.horizontalAdvance(text);
        if (label->width() >= advance + spare / 2 && label->width() <= advance + 2 * spare)
            return;
        label->adjustSize();
        label->resize(std::max(label->width(), advance + spare), label->height());
        return;
    }
    label->adjustSize();
}

QString textOf(const Control& control) {
    return QString::fromStdString(control.text());
}

// What every widget shows of its control besides its text.
void showState(QWidget* widget, const Control& control) {
    widget->setEnabled(control.enabled());
    widget->setVisible(control.visible());
}

class LabelBinding : public ControlBinding {
public:
    LabelBinding(const Control& control, QLabel* label, FormBinding::Sizing sizing)
        : ControlBinding(control, label), label_(label), sizing_(sizing) {
        label->setTextFormat(Qt::PlainText);
    }
    void show() override {
        const QString text = textOf(control());
        if (label_->text() != text) {
            label_->setText(text);
            if (sizing_ == FormBinding::Sizing::ToText)
                fitToText(label_);
            // The box this label names is heard by the label's words.
            if (QWidget* box = label_->buddy())
                box->setAccessibleName(text.trimmed().remove(QLatin1Char('&')));
        }
        showState(label_, control());
    }
    bool waitsWhileHidden() const override { return sizing_ == FormBinding::Sizing::ToText; }

private:
    QLabel* label_;
    FormBinding::Sizing sizing_;
};

class LinkBinding : public LabelBinding {
public:
    LinkBinding(Control& control, LinkLabel* link, FormBinding::Sizing sizing, const SharedGate& gate)
        : LabelBinding(control, link, sizing) {
        link->setCursor(Qt::PointingHandCursor);
        link->onClick = [gate, &control] { clickThrough(gate, control); };
    }
};

class ButtonBinding : public ControlBinding {
public:
    ButtonBinding(Control& control, QPushButton* button, const SharedGate& gate)
        : ControlBinding(control, button), button_(button) {
        QObject::connect(button, &QPushButton::clicked, button, [gate, &control] { clickThrough(gate, control); });
    }
    void show() override {
        button_->setText(textOf(control()));
        showState(button_, control());
    }

private:
    QPushButton* button_;
};

class CheckBoxBinding : public ControlBinding {
public:
    CheckBoxBinding(CheckControl& control, QCheckBox* box, const SharedGate& gate)
        : ControlBinding(control, box), box_(box) {
        // The box turns over by itself on a click; the model decides, and the box then shows what it decided.
        QObject::connect(box, &QCheckBox::clicked, box, [this, gate, &control] {
            clickThrough(gate, control);
            if (gate->live)
                box_->setChecked(this->control().checked());
        });
    }
    void show() override {
        box_->setText(textOf(control()));
        box_->setChecked(control().checked());
        showState(box_, control());
    }

private:
    QCheckBox* box_;
};

// Only the operator's own edits go to the model: textEdited and activated are not raised when the model's
// values are shown, so nothing echoes back.
void forwardEdits(QLineEdit* edit, Control& control, const SharedGate& gate) {
    QObject::connect(edit, &QLineEdit::textEdited, edit, [&control, gate](const QString& text) {
        if (gate->open())
            control.setText(text.toStdString());
    });
}

class TextBoxBinding : public ControlBinding {
public:
    TextBoxBinding(TextControl& control, QLineEdit* box, const SharedGate& gate)
        : ControlBinding(control, box), box_(box) {
        forwardEdits(box, control, gate);
    }
    void show() override {
        const QString text = textOf(control());
        if (box_->text() != text)
            box_->setText(text);
        showState(box_, control());
    }

private:
    QLineEdit* box_;
};

class ComboBinding : public ControlBinding {
public:
    ComboBinding(ComboControl& control, QComboBox* box, const SharedGate& gate)
        : ControlBinding(control, box), combo_(control), box_(box) {
        box->setEditable(true);
        // A typed value is used as it stands; it does not become a list entry.
        box->setInsertPolicy(QComboBox::NoInsert);
        forwardEdits(box->lineEdit(), control, gate);
        QObject::connect(box, &QComboBox::activated, box, [&control, gate](int index) {
            if (gate->open())
                control.select(index);
        });
    }
    void show() override {
        showComboControl(box_, combo_);
        showState(box_, control());
    }

private:
    const ComboControl& combo_;
    QComboBox* box_;
};

class FrameBinding : public ControlBinding {
public:
    FrameBinding(const Control& control, QGroupBox* frame) : ControlBinding(control, frame), frame_(frame) {}
    void show() override {
        frame_->setTitle(textOf(control()));
        showState(frame_, control());
    }

private:
    QGroupBox* frame_;
};

class CaptionBinding : public ControlBinding {
public:
    CaptionBinding(const Control& control, QWidget* window) : ControlBinding(control, window) {}
    void show() override { widget()->setWindowTitle(textOf(control())); }
};

class DialogBinding : public ControlBinding {
public:
    DialogBinding(const Control& control, QDialog* dialog) : ControlBinding(control, dialog), dialog_(dialog) {}
    void show() override {
        dialog_->setWindowTitle(textOf(control()));
        if (!control().visible()) {
            dialog_->hide();
            return;
        }
        dialog_->show();
        dialog_->raise();
        dialog_->activateWindow();
    }

private:
    QDialog* dialog_;
};

void clickThrough(const SharedGate& gate, Control& control) {
    gate->forward([&control] { control.click(); });
}

} // namespace

FormBinding::FormBinding(ControlBoard& board, Sizing labels, Route route)
    : board_(&board), labels_(labels), gate_(std::make_shared<Gate>(Gate{true, std::move(route)})) {}

FormBinding::~FormBinding() {
    detach();
}

template <typename Binding, typename Model, typename Widget, typename... Args>
Widget* FormBinding::add(Model& control, Widget* widget, Args&&... args) {
    if (!widget)
        throw std::logic_error("control " + control.name() + " bound to no widget");
    if (std::find(board_->all().begin(), board_->all().end(), &control) == board_->all().end())
        throw std::logic_error("control " + control.name() + " is not one of this form's");
    widget->setObjectName(QString::fromStdString(control.name()));
    bindings_[&control] = std::make_unique<Binding>(control, widget, std::forward<Args>(args)...);
    return widget;
}

QLabel* FormBinding::bindLabel(Control& control, QLabel* label) {
    return add<LabelBinding>(control, label, labels_);
}

LinkLabel* FormBinding::bindLink(Control& control, LinkLabel* link) {
    return add<LinkBinding>(control, link, labels_, gate_);
}

QPushButton* FormBinding::bindButton(Control& control, QPushButton* button) {
    return add<ButtonBinding>(control, button, gate_);
}

QCheckBox* FormBinding::bind(CheckControl& control, QCheckBox* box) {
    return add<CheckBoxBinding>(control, box, gate_);
}

QLineEdit* FormBinding::bind(TextControl& control, QLineEdit* box) {
    return add<TextBoxBinding>(control, box, gate_);
}

QComboBox* FormBinding::bind(ComboControl& control, QComboBox* box) {
    return add<ComboBinding>(control, box, gate_);
}

QGroupBox* FormBinding::bindFrame(Control& control, QGroupBox* frame) {
    return add<FrameBinding>(control, frame);
}

void FormBinding::bindCaption(Control& control, QWidget* window) {
    add<CaptionBinding>(control, window);
}

void FormBinding::bindDialog(Control& control, QDialog* dialog) {
    add<DialogBinding>(control, dialog);
}

void FormBinding::seal() {
    for (const Control* control : board_->all()) {
        if (!bindings_.contains(control))
            throw std::logic_error("control " + control->name() + " has no widget on its form");
    }
    // The window last, so it never shows before its controls hold their values.
    for (const bool windows : {false, true}) {
        for (const Control* control : board_->all()) {
            if (bindings_.at(control)->widget()->isWindow() == windows)
                show(*control);
        }
    }
    boardListener_ = board_->subscribe([this](const Control& control) { show(control); });
}

void FormBinding::detach() {
    boardListener_.reset();
    gate_->live = false;
}

bool FormBinding::live() const {
    return gate_->live;
}

bool FormBinding::open() const {
    return gate_->open();
}

void FormBinding::forward(const Action& action) const {
    gate_->forward(action);
}

std::vector<QWidget*> FormBinding::widgets() const {
    std::vector<QWidget*> widgets;
    for (const Control* control : board_->all()) {
        const auto found = bindings_.find(control);
        if (found != bindings_.end())
            widgets.push_back(found->second->widget());
    }
    return widgets;
}

void FormBinding::setWindowHidden(bool hidden) {
    windowHidden_ = hidden;
    if (hidden)
        return;
    std::vector<const Control*> waiting;
    waiting.swap(waiting_);
    for (const Control* control : waiting)
        show(*control);
}

void FormBinding::show(const Control& control) {
    const auto found = bindings_.find(&control);
    if (found == bindings_.end() || !gate_->live)
        return;
    if (windowHidden_ && found->second->waitsWhileHidden()) {
        if (std::find(waiting_.begin(), waiting_.end(), &control) == waiting_.end())
            waiting_.push_back(&control);
        return;
    }
    found->second->show();
}

} // namespace wardel::qt
