#include "ui/alert_setting_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/alert_setting.h"
#include "platform/qt/program_end.h"
#include "ui/combo_view.h"
#include "ui/link_label.h"
#include "ui/single_line_validator.h"

namespace wardel::qt {

namespace {

// The same 10-pixel text as the main window.
constexpr int kTextPixels = 10;
constexpr int kWideBox = 230;
constexpr int kNumberBox = 50;

const QColor kLinkBlue(0, 0, 255);

} // namespace

AlertSettingDialog::AlertSettingDialog(AlertSetting& model, Forward forward, QWidget* parent)
    : QDialog(parent), model_(&model), forward_(std::move(forward)) {
    setObjectName(QStringLiteral("alertSetting"));
    setAccessibleName(QStringLiteral("alertSetting"));
    setModal(false);
    QFont f = font();
    f.setPixelSize(kTextPixels);
    setFont(f);
    buildControls();
    connectOperatorActions();

    for (const Control* control : model.controls().all())
        showControl(*control);
    showControl(model.controls().alertSetting);
    boardListener_ = model.controls().board.subscribe([this](const Control& control) { showControl(control); });

    // Centred on the screen once, when it is made.
    adjustSize();
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
}

AlertSettingDialog::~AlertSettingDialog() {
    detach();
}

void AlertSettingDialog::detach() {
    if (!model_)
        return;
    boardListener_.reset();
    model_ = nullptr;
}

void AlertSettingDialog::buildControls() {
    auto named = [this](QWidget* widget, const char* name) {
        widget->setObjectName(QString::fromLatin1(name));
        widget->setAccessibleName(QString::fromLatin1(name));
        widgets_[name] = widget;
        return widget;
    };
    auto label = [&](QWidget* parent, const char* name) {
        auto* l = new QLabel(parent);
        l->setTextFormat(Qt::PlainText);
        named(l, name);
        return l;
    };
    auto link = [&](QWidget* parent, const char* name, void (AlertSetting::*handler)(), bool looksLikeLink = true) {
        auto* l = new LinkLabel(parent);
        l->setTextFormat(Qt::PlainText);
        l->setCursor(Qt::PointingHandCursor);
        l->onClick = [this, handler] { act(handler); };
        if (looksLikeLink) {
            QPalette palette = l->palette();
            palette.setColor(QPalette::WindowText, kLinkBlue);
            l->setPalette(palette);
            QFont underlined = l->font();
            underlined.setUnderline(true);
            l->setFont(underlined);
        }
        named(l, name);
        return l;
    };
    auto textBox = [&](QWidget* parent, const char* name, int width) {
        auto* box = new QLineEdit(parent);
        box->setValidator(new SingleLineValidator(box));
        box->setFixedWidth(width);
        named(box, name);
        return box;
    };
    auto checkBox = [&](QWidget* parent, const char* name) { return named(new QCheckBox(parent), name); };
    auto frame = [&](QWidget* parent, const char* name) {
        auto* box = new QGroupBox(parent);
        named(box, name);
        return box;
    };
    // A row of a grid: the label, then the box with an optional unit label right after it.
    auto row = [&](QGridLayout* grid, QWidget* parent, const char* labelName, QWidget* box,
                   const char* unitName = nullptr) {
        const int r = grid->rowCount();
        grid->addWidget(label(parent, labelName), r, 0);
        auto* line = new QHBoxLayout;
        line->addWidget(box);
        if (unitName)
            line->addWidget(label(parent, unitName));
        line->addStretch(1);
        grid->addLayout(line, r, 1);
    };

    auto* top = new QVBoxLayout(this);

    QGroupBox* frame3 = frame(this, "Frame3");
    auto* times = new QGridLayout(frame3);
    row(times, frame3, "Label4(0)", textBox(frame3, "TimeInterval", kNumberBox), "Label4(2)");
    row(times, frame3, "Label4(1)", textBox(frame3, "TimeOut", kNumberBox), "Label4(3)");
    times->addWidget(checkBox(frame3, "Check4"), times->rowCount(), 0, 1, 3);
    times->addWidget(checkBox(frame3, "Enable_log"), times->rowCount(), 0, 1, 3);
    times->setColumnStretch(2, 1);
    top->addWidget(frame3);

    auto* frame1 = frame(this, "Frame1");
    auto* gateway = new QGridLayout(frame1);
    gateway->addWidget(checkBox(frame1, "Check2"), 0, 0, 1, 3);
    row(gateway, frame1, "Label5(0)", textBox(frame1, "smsEmail", kWideBox));
    auto* password = textBox(frame1, "smsPassword", kWideBox);
    password->setEchoMode(QLineEdit::Password);
    // Every character typed shows as "*", whatever the style's own mask character.
    password->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    row(gateway, frame1, "Label5(1)", password);
    gateway->addWidget(link(frame1, "Label2", &AlertSetting::Label2_Click), gateway->rowCount() - 1, 2);
    auto* phone = textBox(frame1, "smsPhone", kWideBox);
    phone->installEventFilter(this);
    row(gateway, frame1, "Label5(2)", phone);
    row(gateway, frame1, "Label1", textBox(frame1, "Mail_List", kWideBox));
    gateway->addWidget(label(frame1, "Label5(3)"), gateway->rowCount(), 0, 1, 3);

    auto* cap = new QComboBox(frame1);
    cap->setEditable(true);
    // A typed cap is used as it stands; it does not become a list entry.
    cap->setInsertPolicy(QComboBox::NoInsert);
    cap->setValidator(new SingleLineValidator(cap));
    cap->setMaxVisibleItems(11);
    cap->setFixedWidth(70);
    named(cap, "max_SMS");
    auto* capLine = new QHBoxLayout;
    capLine->addWidget(link(frame1, "Label3(4)", &AlertSetting::Label3_Click, false));
    capLine->addWidget(cap);
    capLine->addStretch(1);
    gateway->addLayout(capLine, gateway->rowCount(), 0, 1, 3);
    const int resetRow = gateway->rowCount();
    gateway->addWidget(link(frame1, "SMS_Reset", &AlertSetting::SMS_Reset_Click), resetRow, 0);
    gateway->addWidget(label(frame1, "SMS_Today"), resetRow, 1);

    auto* frame4 = frame(frame1, "Frame4");
    auto* alive = new QGridLayout(frame4);
    alive->addWidget(checkBox(frame4, "alive_Email"), 0, 0, 1, 3);
    row(alive, frame4, "Label7(0)", textBox(frame4, "min_Select", kNumberBox), "Label7(3)");
    row(alive, frame4, "Label7(1)", textBox(frame4, "mailTo1", kWideBox));
    row(alive, frame4, "Label7(2)", textBox(frame4, "min_Select1", kNumberBox), "Label7(4)");
    row(alive, frame4, "Label7(5)", textBox(frame4, "smsTo1", kWideBox));
    gateway->addWidget(frame4, gateway->rowCount(), 0, 1, 3);
    top->addWidget(frame1);

    auto* buttons = new QHBoxLayout;
    for (const char* name : {"Save", "Cancel"}) {
        auto* button = new QPushButton(this);
        // Enter in a box does not save by surprise.
        button->setAutoDefault(false);
        buttons->addWidget(named(button, name));
    }
    buttons->addStretch(1);
    top->addLayout(buttons);
    top->addWidget(link(this, "Label3(5)", &AlertSetting::Label3_Click));
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void AlertSettingDialog::connectOperatorActions() {
    const std::pair<const char*, void (AlertSetting::*)()> clicks[] = {
        {"Check4", &AlertSetting::Check4_Click}, {"Enable_log", &AlertSetting::Enable_log_Click},
        {"Check2", &AlertSetting::Check2_Click}, {"alive_Email", &AlertSetting::alive_Email_Click},
        {"Save", &AlertSetting::Save_Click},     {"Cancel", &AlertSetting::Cancel_Click},
    };
    for (const auto& [name, handler] : clicks) {
        connect(static_cast<QAbstractButton*>(widgets_[name]), &QAbstractButton::clicked, this,
                [this, handler = handler] { act(handler); });
    }
    // Only the operator's own edits go to the model: textEdited and activated are not raised when the
    // model's values are shown, so nothing echoes back.
    for (const char* name : {"TimeInterval", "TimeOut", "smsEmail", "smsPassword", "smsPhone", "Mail_List",
                             "min_Select", "mailTo1", "min_Select1", "smsTo1"}) {
        connect(static_cast<QLineEdit*>(widgets_[name]), &QLineEdit::textEdited, this,
                [this, name](const QString& text) {
                    if (Control* control = liveControl(name))
                        control->setText(text.toStdString());
                });
    }
    auto* cap = static_cast<QComboBox*>(widgets_["max_SMS"]);
    connect(cap->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
        if (Control* control = liveControl("max_SMS"))
            control->setText(text.toStdString());
    });
    connect(cap, &QComboBox::activated, this, [this](int index) {
        if (auto* control = dynamic_cast<ComboControl*>(liveControl("max_SMS")))
            control->select(index);
    });
}

Control* AlertSettingDialog::liveControl(const std::string& name) const {
    if (!model_ || programEnded())
        return nullptr;
    for (Control* control : model_->controls().all())
        if (control->name() == name)
            return control;
    return nullptr;
}

void AlertSettingDialog::act(void (AlertSetting::*handler)()) {
    if (model_ && !programEnded() && forward_)
        forward_([handler](AlertSetting& model) { (model.*handler)(); });
}

bool AlertSettingDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && watched == widgets_["smsPhone"])
        act(&AlertSetting::smsPhone_Click);
    return QDialog::eventFilter(watched, event);
}

void AlertSettingDialog::closeEvent(QCloseEvent* event) {
    // The close box is Cancel: the model goes, and with it this window.
    if (model_ && !programEnded()) {
        event->ignore();
        act(&AlertSetting::Form_Unload);
        return;
    }
    QDialog::closeEvent(event);
}

void AlertSettingDialog::reject() {
    // Escape closes as the close box does.
    if (model_ && !programEnded())
        act(&AlertSetting::Form_Unload);
    else
        QDialog::reject();
}

void AlertSettingDialog::showControl(const Control& control) {
    const QString text = QString::fromStdString(control.text());
    if (control.name() == "alertSetting") {
        setWindowTitle(text);
        if (control.visible()) {
            show();
            raise();
            activateWindow();
        } else {
            hide();
        }
        return;
    }
    const auto found = widgets_.find(control.name());
    if (found == widgets_.end())
        return;
    QWidget* widget = found->second;
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
    } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
        check->setText(text);
        check->setChecked(control.checked());
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        button->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        if (edit->text() != text)
            edit->setText(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        if (const auto* list = dynamic_cast<const ComboControl*>(&control))
            showComboControl(combo, *list);
    } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
        frame->setTitle(text);
    }
    widget->setEnabled(control.enabled());
}

} // namespace wardel::qt
