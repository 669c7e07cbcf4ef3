#include "ui/main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

#include "app/sms_port.h"
#include "ui/host_grid_view.h"
#include "ui/host_table_model.h"
#include "platform/qt/lifetime.h"
#include "ui/log_view.h"

namespace wardel::qt {

namespace {

// Positions and sizes are given in twips, 15 to the pixel.
constexpr int Px(int twips) {
    return (twips + 7) / 15;
}

constexpr int kClientWidth = 8340;
constexpr int kClientHeight = 8280;
constexpr int kTextBoxHeight = 285;
constexpr int kButtonTop = 1320;
constexpr int kButtonHeight = 375;

const QColor kDarkBlue(0, 0, 128);
const QColor kDarkRed(128, 0, 0);

// A label that acts as a link: a left click on it is reported.
class LinkLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QLabel::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick)
            onClick();
    }
};

// The layout is fixed in pixels, so the text is too: 10 pixels, the size of the classic 8-point dialog face,
// whatever the screen's dots per inch.
constexpr int kTextPixels = 10;

QFont FormFont(const QFont& base) {
    QFont font = base;
    font.setPixelSize(kTextPixels);
    return font;
}

// The buttons and the four headings ask for Book Antiqua; where it is missing, another serif face stands in.
QFont HeadingFont(const QFont& base) {
    QFont font = FormFont(base);
    font.setFamilies({QStringLiteral("Book Antiqua"), QStringLiteral("Palatino Linotype"), QStringLiteral("Palatino")});
    font.setStyleHint(QFont::Serif);
    return font;
}

void SetTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

} // namespace

MainWindow::MainWindow() : ender_([] { QCoreApplication::exit(0); }) {
    setObjectName(QStringLiteral("SMSPort"));
    setWindowTitle(QStringLiteral("Wardel "));
    setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    resize(Px(kClientWidth), Px(kClientHeight));
    setFont(FormFont(font()));
    buildControls();
    connectOperatorActions();
}

MainWindow::~MainWindow() {
    detach();
}

void MainWindow::buildControls() {
    auto place = [this](QWidget* widget, const char* name, int left, int top, int width = 0, int height = 0) {
        widget->setObjectName(QString::fromLatin1(name));
        widget->move(Px(left), Px(top));
        if (width > 0)
            widget->resize(Px(width), height > 0 ? Px(height) : widget->sizeHint().height());
        widgets_[name] = widget;
    };
    auto label = [&](const char* name, int left, int top) {
        auto* l = new QLabel(this);
        l->setTextFormat(Qt::PlainText);
        place(l, name, left, top);
        return l;
    };
    auto heading = [&](const char* name, int left, int top) { label(name, left, top)->setFont(HeadingFont(font())); };
    auto textBox = [&](const char* name, int left, int width) {
        place(new QLineEdit(this), name, left, 360, width, kTextBoxHeight);
    };
    auto combo = [&](const char* name, int left, int top, int width) {
        auto* c = new QComboBox(this);
        c->setEditable(true);
        // A typed port or threshold is used as it stands; it does not become a list entry.
        c->setInsertPolicy(QComboBox::NoInsert);
        c->setMaxVisibleItems(12);
        place(c, name, left, top, width);
    };
    auto button = [&](const char* name, int left, int width) {
        auto* b = new QPushButton(this);
        b->setFont(HeadingFont(font()));
        b->setAutoDefault(false);
        place(b, name, left, kButtonTop, width, kButtonHeight);
    };

    heading("Label1(0)", 120, 120);
    textBox("txtIpAddress", 120, 1935);
    heading("Label1(1)", 2160, 120);
    combo("cbxPortSel", 2160, 360, 1815);
    heading("Label1(2)", 4200, 120);
    textBox("Description", 4200, 3855);
    heading("Label1(3)", 120, 840);
    combo("num_Timeout", 3240, 840, 735);

    // Each button reaches to two pixels short of the next one's left edge; Exit is as wide as View Log.
    button("cmdAdd", 120, 690);
    button("cmdDelete", 840, 1170);
    button("cmdSetting", 2040, 1290);
    button("cmdMonitor", 3360, 1170);
    button("cmdLog", 4560, 1050);
    button("cmdExit", 5640, 1050);

    grid_ = new HostGridView(this);
    place(grid_, "grdHotGrid", 120, 1920, 8063, 3495);
    log_ = new LogView(this);
    place(log_, "txtLog", 120, 5640, 7935, 1455);

    SetTextColor(label("lblTimeinterval", 120, 7200), kDarkBlue);
    SetTextColor(label("lblTimeout", 5160, 7200), kDarkBlue);
    SetTextColor(label("Label2", 120, 7560), kDarkRed);

    auto* link = new LinkLabel(this);
    link->setTextFormat(Qt::PlainText);
    link->setCursor(Qt::PointingHandCursor);
    link->onClick = [this] { forward([](SMSPort& p) { p.Label4_Click(); }); };
    place(link, "Label4", 120, 7920);
    label("Label7", 7800, 7920);
    for (const char* bold : {"Label4", "Label7"}) {
        QFont f = widgets_[bold]->font();
        f.setBold(true);
        widgets_[bold]->setFont(f);
    }
}

void MainWindow::connectOperatorActions() {
    const std::pair<const char*, void (SMSPort::*)()> clicks[] = {
        {"cmdAdd", &SMSPort::cmdAdd_Click},         {"cmdDelete", &SMSPort::cmdDelete_Click},
        {"cmdSetting", &SMSPort::cmdSetting_Click}, {"cmdMonitor", &SMSPort::cmdMonitor_Click},
        {"cmdLog", &SMSPort::cmdLog_Click},         {"cmdExit", &SMSPort::cmdExit_Click},
    };
    for (const auto& [name, handler] : clicks) {
        connect(static_cast<QPushButton*>(widgets_[name]), &QPushButton::clicked, this,
                [this, handler] { forward([handler](SMSPort& p) { (p.*handler)(); }); });
    }

    // Only the operator's own edits go to the model: textEdited and activated are not raised when the
    // model's values are shown, so nothing echoes back.
    for (const char* name : {"txtIpAddress", "Description"}) {
        connect(static_cast<QLineEdit*>(widgets_[name]), &QLineEdit::textEdited, this,
                [this, name](const QString& text) { textEdited(name, text); });
    }
    for (const char* name : {"cbxPortSel", "num_Timeout"}) {
        auto* combo = static_cast<QComboBox*>(widgets_[name]);
        connect(combo->lineEdit(), &QLineEdit::textEdited, this,
                [this, name](const QString& text) { textEdited(name, text); });
        connect(combo, &QComboBox::activated, this, [this, name](int index) {
            if (auto* control = dynamic_cast<ComboControl*>(liveControl(name)))
                control->select(index);
        });
    }
    grid_->setClickHandler([this](int row) { forward([row](SMSPort& p) { p.grdHotGrid_Click(row); }); });
}

void MainWindow::attach(SMSPort& port) {
    detach();
    port_ = &port;
    MainControls& c = port.context().controls;
    for (Control* control : std::initializer_list<Control*>{
             &c.SMSPort,         &c.Label1_0,    &c.txtIpAddress, &c.Label1_1,    &c.cbxPortSel,
             &c.Label1_2,        &c.Description, &c.Label1_3,     &c.num_Timeout, &c.cmdAdd,
             &c.cmdDelete,       &c.cmdSetting,  &c.cmdMonitor,   &c.cmdLog,      &c.cmdExit,
             &c.lblTimeinterval, &c.lblTimeout,  &c.Label2,       &c.Label4,      &c.Label7}) {
        controls_[control->name()] = control;
        showControl(*control);
    }
    c.board.setListener([this](const Control& control) { showControl(control); });

    gridModel_ = std::make_unique<HostTableModel>(port.context().grid);
    grid_->follow(&port.context().grid, gridModel_.get());
    log_->follow(&port.context().logBox);
}

void MainWindow::detach() {
    if (!port_)
        return;
    port_->context().controls.board.setListener({});
    log_->follow(nullptr);
    grid_->follow(nullptr, nullptr);
    gridModel_.reset();
    controls_.clear();
    port_ = nullptr;
}

Control* MainWindow::liveControl(const std::string& name) const {
    if (!port_ || ProgramEnded())
        return nullptr;
    const auto found = controls_.find(name);
    return found == controls_.end() ? nullptr : found->second;
}

void MainWindow::textEdited(const std::string& name, const QString& text) {
    if (Control* control = liveControl(name))
        control->setText(text.toStdString());
}

void MainWindow::forward(const std::function<void(SMSPort&)>& action) {
    if (port_ && !ProgramEnded())
        action(*port_);
}

void MainWindow::showControl(const Control& control) {
    const QString text = QString::fromStdString(control.text());
    if (control.name() == "SMSPort") {
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
            label->adjustSize();
        }
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        button->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        if (edit->text() != text)
            edit->setText(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        if (const auto* comboControl = dynamic_cast<const ComboControl*>(&control))
            showCombo(combo, *comboControl);
    }
    widget->setEnabled(control.enabled());
    widget->setVisible(control.visible());
}

void MainWindow::showCombo(QComboBox* combo, const ComboControl& control) {
    const QSignalBlocker quiet(combo);
    const auto& items = control.items();
    bool sameItems = combo->count() == static_cast<int>(items.size());
    for (int i = 0; sameItems && i < combo->count(); ++i)
        sameItems = combo->itemText(i).toStdString() == items[static_cast<std::size_t>(i)];
    if (!sameItems) {
        combo->clear();
        for (const auto& item : items)
            combo->addItem(QString::fromStdString(item));
    }
    if (combo->currentIndex() != control.selectedIndex())
        combo->setCurrentIndex(control.selectedIndex());
    const QString text = QString::fromStdString(control.text());
    if (combo->currentText() != text)
        combo->setEditText(text);
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
    MarkProgramEnded();
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
