#include "ui/alert_setting_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QScreen>
#include <QVBoxLayout>

#include "app/alert_setting.h"
#include "ui/control_binding.h"
#include "ui/ink.h"
#include "ui/link_label.h"
#include "ui/push_button.h"
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
    setModal(false);
    QFont f = font();
    f.setPixelSize(kTextPixels);
    setFont(f);
    buildControls();
    binding_->seal();

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
    binding_->detach();
    model_ = nullptr;
}

void AlertSettingDialog::buildControls() {
    AlertSettingControls& c = model_->controls();
    // Every action goes through the owner, which destroys a model that asked to close once it has returned.
    binding_ =
        std::make_unique<FormBinding>(c.board, FormBinding::Sizing::Layout, [this](const FormBinding::Action& action) {
            if (forward_)
                forward_([&action](AlertSetting&) { action(); });
        });
    FormBinding& b = *binding_;

    auto label = [&](QWidget* parent, Control& control) { return b.bind(control, new QLabel(parent)); };
    auto link = [&](QWidget* parent, Control& control, bool looksLikeLink = true) {
        auto* l = b.bind(control, new LinkLabel(parent));
        if (looksLikeLink) {
            setInk(l, kLinkBlue);
            l->setUnderlined(true);
            // Made in tab order, so each takes its place there.
            l->setKeyboardLink(true);
        }
        return l;
    };
    auto textBox = [&](QWidget* parent, TextControl& control, int width) {
        auto* box = b.bind(control, new QLineEdit(parent));
        box->setValidator(new SingleLineValidator(box));
        box->setFixedWidth(width);
        return box;
    };
    auto checkBox = [&](QWidget* parent, CheckControl& control) { return b.bind(control, new QCheckBox(parent)); };
    auto frame = [&](QWidget* parent, Control& control) { return b.bind(control, new QGroupBox(parent)); };
    // A row of a grid: the label naming the box, then the box with an optional unit label right after it.
    auto row = [&](QGridLayout* grid, QWidget* parent, Control& name, QWidget* box, Control* unit = nullptr) {
        const int r = grid->rowCount();
        QLabel* l = label(parent, name);
        l->setBuddy(box);
        grid->addWidget(l, r, 0);
        auto* line = new QHBoxLayout;
        line->addWidget(box);
        if (unit)
            line->addWidget(label(parent, *unit));
        line->addStretch(1);
        grid->addLayout(line, r, 1);
    };

    b.bindDialog(c.alertSetting, this);
    auto* top = new QVBoxLayout(this);

    QGroupBox* frame3 = frame(this, c.Frame3);
    auto* times = new QGridLayout(frame3);
    row(times, frame3, c.Label4_0, textBox(frame3, c.TimeInterval, kNumberBox), &c.Label4_2);
    row(times, frame3, c.Label4_1, textBox(frame3, c.TimeOut, kNumberBox), &c.Label4_3);
    times->addWidget(checkBox(frame3, c.Check4), times->rowCount(), 0, 1, 3);
    times->addWidget(checkBox(frame3, c.Enable_log), times->rowCount(), 0, 1, 3);
    times->setColumnStretch(2, 1);
    top->addWidget(frame3);

    auto* frame1 = frame(this, c.Frame1);
    auto* gateway = new QGridLayout(frame1);
    gateway->addWidget(checkBox(frame1, c.Check2), 0, 0, 1, 3);
    row(gateway, frame1, c.Label5_0, textBox(frame1, c.smsEmail, kWideBox));
    auto* password = textBox(frame1, c.smsPassword, kWideBox);
    password->setEchoMode(QLineEdit::Password);
    // Every character typed shows as "*", whatever the style's own mask character.
    password->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    row(gateway, frame1, c.Label5_1, password);
    gateway->addWidget(link(frame1, c.Label2), gateway->rowCount() - 1, 2);
    phone_ = textBox(frame1, c.smsPhone, kWideBox);
    phone_->installEventFilter(this);
    row(gateway, frame1, c.Label5_2, phone_);
    row(gateway, frame1, c.Label1, textBox(frame1, c.Mail_List, kWideBox));
    gateway->addWidget(label(frame1, c.Label5_3), gateway->rowCount(), 0, 1, 3);

    auto* cap = b.bind(c.max_SMS, new QComboBox(frame1));
    // What the box shows is what is saved: no completion from the list while the operator types.
    cap->setCompleter(nullptr);
    cap->setValidator(new SingleLineValidator(cap));
    cap->setMaxVisibleItems(11);
    cap->setFixedWidth(70);
    auto* capLine = new QHBoxLayout;
    LinkLabel* capLabel = link(frame1, c.Label3_4, false);
    capLabel->setBuddy(cap);
    capLine->addWidget(capLabel);
    capLine->addWidget(cap);
    capLine->addStretch(1);
    gateway->addLayout(capLine, gateway->rowCount(), 0, 1, 3);
    const int resetRow = gateway->rowCount();
    gateway->addWidget(link(frame1, c.SMS_Reset), resetRow, 0);
    gateway->addWidget(label(frame1, c.SMS_Today), resetRow, 1);

    auto* frame4 = frame(frame1, c.Frame4);
    auto* alive = new QGridLayout(frame4);
    alive->addWidget(checkBox(frame4, c.alive_Email), 0, 0, 1, 3);
    row(alive, frame4, c.Label7_0, textBox(frame4, c.min_Select, kNumberBox), &c.Label7_3);
    row(alive, frame4, c.Label7_1, textBox(frame4, c.mailTo1, kWideBox));
    row(alive, frame4, c.Label7_2, textBox(frame4, c.min_Select1, kNumberBox), &c.Label7_4);
    row(alive, frame4, c.Label7_5, textBox(frame4, c.smsTo1, kWideBox));
    gateway->addWidget(frame4, gateway->rowCount(), 0, 1, 3);
    top->addWidget(frame1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(b.bind(c.Save, new PushButton(this)));
    buttons->addWidget(b.bind(c.Cancel, new PushButton(this)));
    buttons->addStretch(1);
    top->addLayout(buttons);
    top->addWidget(link(this, c.Label3_5));
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

// A press in the SMS numbers box is that box's click.
bool AlertSettingDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && watched == phone_ && binding_)
        binding_->forward([this] { model_->controls().smsPhone.click(); });
    return QDialog::eventFilter(watched, event);
}

void AlertSettingDialog::closeEvent(QCloseEvent* event) {
    // The close box is Cancel: the model goes, and with it this window.
    if (binding_->open()) {
        event->ignore();
        binding_->forward([this] { model_->Form_Unload(); });
        return;
    }
    QDialog::closeEvent(event);
}

void AlertSettingDialog::reject() {
    // Escape closes as the close box does.
    if (binding_->open())
        binding_->forward([this] { model_->Form_Unload(); });
    else
        QDialog::reject();
}

void AlertSettingDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        refreshInks(this);
}

} // namespace wardel::qt
