#include "ui/main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "app/sms_port.h"
#include "platform/qt/program_end.h"
#include "ui/alert_setting_dialog.h"
#include "ui/combo_view.h"
#include "ui/host_grid_view.h"
#include "ui/host_table_model.h"
#include "ui/link_label.h"
#include "ui/log_view.h"

namespace wardel::qt {

namespace {

// Positions and sizes are given in twips, 15 to the pixel.
constexpr int px(int twips) {
    return (twips + 7) / 15;
}

constexpr int kClientWidth = 8340;
constexpr int kClientHeight = 8280;

const QColor kDarkBlue(0, 0, 128);
const QColor kDarkRed(128, 0, 0);

// The layout is fixed in pixels, so the text is too: 10 pixels, the size of the classic 8-point dialog face,
// whatever the screen's dots per inch.
constexpr int kTextPixels = 10;

// Latin text is drawn without the text shaper, which costs more than the rest of the paint; the window's texts
// need neither ligatures nor other font features. Scripts that need shaping are still shaped.
QFont formFont(const QFont& base) {
    QFont font = base;
    font.setPixelSize(kTextPixels);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

// The buttons and the four headings ask for Book Antiqua; where it is missing, another serif face stands in.
QFont headingFont(const QFont& base) {
    QFont font = formFont(base);
    font.setFamilies({QStringLiteral("Book Antiqua"), QStringLiteral("Palatino Linotype"), QStringLiteral("Palatino")});
    font.setStyleHint(QFont::Serif);
    return font;
}

// A label takes the width of its text. The exact width needs a full layout of the text,
// as costly as painting it, and the status line changes at every probe; so the label keeps some room to spare
// and is sized again only when its text no longer fits in it or leaves far more room than that.
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

void setTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

} // namespace

MainWindow::MainWindow() : ender_([] { QCoreApplication::exit(0); }) {
    setObjectName(QStringLiteral("SMSPort"));
    setWindowTitle(QStringLiteral("Wardel "));
    setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    resize(px(kClientWidth), px(kClientHeight));
    setFont(formFont(font()));
}

MainWindow::~MainWindow() {
    detach();
}

QWidget* MainWindow::buildControl(const Control& control) {
    using Kind = ControlDesign::Kind;
    const ControlDesign& design = control.design();
    const std::string name = control.name();
    QWidget* widget = nullptr;
    switch (design.kind) {
    case Kind::Caption:
        return nullptr; // the window's own caption
    case Kind::Label:
    case Kind::Heading: {
        auto* label = new QLabel(this);
        label->setTextFormat(Qt::PlainText);
        widget = label;
        break;
    }
    case Kind::Link: {
        auto* link = new LinkLabel(this);
        link->setTextFormat(Qt::PlainText);
        link->setCursor(Qt::PointingHandCursor);
        link->onClick = [this, name] { click(name); };
        widget = link;
        break;
    }
    case Kind::TextBox: {
        auto* edit = new QLineEdit(this);
        // Only the operator's own edits go to the model: textEdited and activated are not raised when the
        // model's values are shown, so nothing echoes back.
        connect(edit, &QLineEdit::textEdited, this, [this, name](const QString& text) { textEdited(name, text); });
        widget = edit;
        break;
    }
    case Kind::ComboBox: {
        auto* combo = new QComboBox(this);
        combo->setEditable(true);
        // A typed port or threshold is used as it stands; it does not become a list entry.
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setMaxVisibleItems(12);
        connect(combo->lineEdit(), &QLineEdit::textEdited, this,
                [this, name](const QString& text) { textEdited(name, text); });
        connect(combo, &QComboBox::activated, this, [this, name](int index) {
            if (auto* comboControl = dynamic_cast<ComboControl*>(liveControl(name)))
                comboControl->select(index);
        });
        widget = combo;
        break;
    }
    case Kind::Button: {
        auto* button = new QPushButton(this);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, name] { click(name); });
        widget = button;
        break;
    }
    }
    widget->setObjectName(QString::fromStdString(name));
    widget->setAccessibleName(QString::fromStdString(name));
    if (design.kind == Kind::Heading || design.kind == Kind::Button)
        widget->setFont(headingFont(font()));
    if (design.bold) {
        QFont f = widget->font();
        f.setBold(true);
        widget->setFont(f);
    }
    if (design.ink == ControlDesign::Ink::DarkBlue)
        setTextColor(widget, kDarkBlue);
    else if (design.ink == ControlDesign::Ink::DarkRed)
        setTextColor(widget, kDarkRed);
    place(widget, design.left, design.top, design.width, design.height);
    return widget;
}

void MainWindow::place(QWidget* widget, int left, int top, int width, int height) {
    widget->move(px(left), px(top));
    if (width > 0)
        widget->resize(px(width), height > 0 ? px(height) : widget->sizeHint().height());
}

void MainWindow::attach(SMSPort& port) {
    detach();
    port_ = &port;
    MainControls& c = port.controls();
    // The widgets are built from the model's own list of controls, the first time each one is seen.
    for (Control* control : c.all()) {
        controls_[control->name()] = control;
        if (!widgets_.contains(control->name())) {
            if (QWidget* widget = buildControl(*control))
                widgets_[control->name()] = widget;
        }
        showControl(*control);
    }
    if (!grid_) {
        // After the controls, so the focus goes from the buttons on to the grid and the log.
        grid_ = new HostGridView(this);
        grid_->setObjectName(QStringLiteral("grdHotGrid"));
        grid_->setAccessibleName(QStringLiteral("grdHotGrid"));
        place(grid_, 120, 1920, 8063, 3495);
        grid_->setClickHandler([this](int row) { forward([row](SMSPort& p) { p.grdHotGrid_Click(row); }); });
        log_ = new LogView(this);
        log_->setObjectName(QStringLiteral("txtLog"));
        log_->setAccessibleName(QStringLiteral("txtLog"));
        place(log_, 120, 5640, 7935, 1455);
        grid_->show();
        log_->show();
    }
    boardListener_ = c.board.subscribe([this](const Control& control) { showControl(control); });

    gridModel_ = std::make_unique<HostTableModel>(port.grid());
    grid_->follow(&port.grid(), gridModel_.get());
    log_->follow(&port.logBox());
    alertSettingListener_ = port.subscribeAlertSetting([this](AlertSetting* model) { followAlertSetting(model); });
}

void MainWindow::followAlertSetting(AlertSetting* model) {
    if (settingsDialog_) {
        settingsDialog_->detach();
        settingsDialog_->hide();
        // It may be in the middle of its own click handler.
        settingsDialog_->deleteLater();
        settingsDialog_ = nullptr;
    }
    if (model) {
        settingsDialog_ = new AlertSettingDialog(
            *model,
            [this](const std::function<void(AlertSetting&)>& action) {
                forward([&action](SMSPort& p) { p.alertSettingEvent(action); });
            },
            this);
    }
}

void MainWindow::detach() {
    if (!port_)
        return;
    boardListener_.reset();
    alertSettingListener_.reset();
    followAlertSetting(nullptr);
    log_->follow(nullptr);
    grid_->follow(nullptr, nullptr);
    gridModel_.reset();
    controls_.clear();
    port_ = nullptr;
}

void MainWindow::click(const std::string& name) {
    if (Control* control = liveControl(name))
        control->click();
}

Control* MainWindow::liveControl(const std::string& name) const {
    if (!port_ || programEnded())
        return nullptr;
    const auto found = controls_.find(name);
    return found == controls_.end() ? nullptr : found->second;
}

void MainWindow::textEdited(const std::string& name, const QString& text) {
    if (Control* control = liveControl(name))
        control->setText(text.toStdString());
}

void MainWindow::forward(const std::function<void(SMSPort&)>& action) {
    if (port_ && !programEnded())
        action(*port_);
}

void MainWindow::showControl(const Control& control) {
    const QString text = QString::fromStdString(control.text());
    if (control.design().kind == ControlDesign::Kind::Caption) {
        setWindowTitle(text);
        return;
    }
    const auto found = widgets_.find(control.name());
    if (found == widgets_.end())
        return;
    QWidget* widget = found->second;
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (label->text() != text) {
            label->setText(text);
            fitToText(label);
        }
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        button->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        if (edit->text() != text)
            edit->setText(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        if (const auto* comboControl = dynamic_cast<const ComboControl*>(&control))
            showComboControl(combo, *comboControl);
    }
    widget->setEnabled(control.enabled());
    widget->setVisible(control.visible());
}

void MainWindow::show() {
    QWidget::show();
    if (frontPending_) {
        frontPending_ = false;
        bringToFront();
    }
}

void MainWindow::hide() {
    QWidget::hide();
}

bool MainWindow::visible() const {
    return isVisible();
}

void MainWindow::setNormalState() {
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

void MainWindow::bringToFront() {
    // A hidden window cannot come to the front yet; it does as soon as it is shown.
    if (!isVisible()) {
        frontPending_ = true;
        return;
    }
    raise();
    activateWindow();
}

void MainWindow::center() {
    QScreen* screen = this->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize outer = frameGeometry().size();
    move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
}

void MainWindow::endProgram() {
    markProgramEnded();
    QWidget::hide();
    if (ender_)
        ender_();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The close box unloads the window exactly as Exit does.
    forward([](SMSPort& p) { p.Form_Unload(); });
    event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized))
        forward([](SMSPort& p) { p.Form_Resize(true); });
}

} // namespace wardel::qt
