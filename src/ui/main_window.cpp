#include "ui/main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <type_traits>

#include "app/sms_port.h"
#include "platform/qt/program_end.h"
#include "ui/alert_setting_dialog.h"
#include "ui/control_binding.h"
#include "ui/history_view.h"
#include "ui/host_grid_view.h"
#include "ui/host_table_model.h"
#include "ui/ink.h"
#include "ui/link_label.h"
#include "ui/log_view.h"
#include "ui/push_button.h"

namespace wardel::qt {

namespace {

// Positions and sizes are given in twips, 15 to the pixel.
constexpr int px(int twips) {
    return (twips + 7) / 15;
}

constexpr int kClientWidth = 8340;
constexpr int kClientHeight = 8280;
// The controls below the log box keep their distance from the bottom edge.
constexpr int kBelowLogTop = 7095;

const QColor kDarkBlue(0, 0, 128);
const QColor kDarkRed(128, 0, 0);

// The places are fixed in pixels, so the text is too: 10 pixels, the size of the form's 8-point face at the
// standard resolution, whatever the screen's dots per inch.
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

} // namespace

MainWindow::MainWindow() : ender_([] { QCoreApplication::exit(0); }) {
    setObjectName(QStringLiteral("SMSPort"));
    setWindowTitle(QStringLiteral("Wardel "));
    setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setMinimumSize(px(kClientWidth), px(kClientHeight));
    resize(px(kClientWidth), px(kClientHeight));
    setFont(formFont(font()));
}

MainWindow::~MainWindow() {
    detach();
}

template <typename Widget> Widget* MainWindow::made(const Control& control) {
    using Kind = ControlDesign::Kind;
    const ControlDesign& design = control.design();
    auto* widget = new Widget(this);
    if constexpr (std::is_same_v<Widget, QComboBox>)
        widget->setEditable(true); // before it is placed: an editable box is as high as a text box
    if (design.kind == Kind::Heading || design.kind == Kind::Button)
        widget->setFont(headingFont(font()));
    if (design.bold) {
        QFont f = widget->font();
        f.setBold(true);
        widget->setFont(f);
    }
    if (design.ink == ControlDesign::Ink::DarkBlue)
        setInk(widget, kDarkBlue);
    else if (design.ink == ControlDesign::Ink::DarkRed)
        setInk(widget, kDarkRed);
    place(widget, design.left, design.top, design.width, design.height);
    return widget;
}

void MainWindow::place(QWidget* widget, int left, int top, int width, int height, bool wider, bool taller) {
    widget->move(px(left), px(top));
    if (width > 0)
        widget->resize(px(width), height > 0 ? px(height) : widget->sizeHint().height());
    // Above the grid the controls stay by the top left corner, where the headings sit over their boxes;
    // below the log box each keeps to the bottom edge and to the nearer side.
    const bool below = top > kBelowLogTop;
    const QRect design(widget->pos(), widget->size());
    placed_.push_back({widget, design, below && 2 * left > kClientWidth, below || (wider && !taller), wider, taller});
}

void MainWindow::bindControls(SMSPort& port) {
    MainControls& c = port.controls();
    binding_ = std::make_unique<FormBinding>(c.board, FormBinding::Sizing::ToText);
    FormBinding& b = *binding_;
    using Kind = ControlDesign::Kind;
    // The controls of one kind that need nothing but their widget, in design order.
    const auto each = [&c](Kind kind, const std::function<void(Control&)>& bind) {
        for (Control* control : c.all())
            if (control->design().kind == kind)
                bind(*control);
    };
    const auto combo = [this](ComboControl& control) {
        auto* box = made<QComboBox>(control);
        box->setMaxVisibleItems(12);
        return box;
    };

    b.bindCaption(c.SMSPort, this);
    auto* host = b.bind(c.txtIpAddress, made<QLineEdit>(c.txtIpAddress));
    b.bind(c.Label1_0, made<QLabel>(c.Label1_0))->setBuddy(host);
    auto* portBox = b.bind(c.cbxPortSel, combo(c.cbxPortSel));
    b.bind(c.Label1_1, made<QLabel>(c.Label1_1))->setBuddy(portBox);
    auto* description = b.bind(c.Description, made<QLineEdit>(c.Description));
    b.bind(c.Label1_2, made<QLabel>(c.Label1_2))->setBuddy(description);
    auto* threshold = b.bind(c.num_Timeout, combo(c.num_Timeout));
    b.bind(c.Label1_3, made<QLabel>(c.Label1_3))->setBuddy(threshold);
    QPushButton* add = nullptr;
    each(Kind::Button, [&](Control& button) {
        QPushButton* widget = b.bind(button, made<PushButton>(button));
        if (&button == &c.cmdAdd)
            add = widget;
    });
    each(Kind::Label, [&](Control& label) { b.bind(label, made<QLabel>(label)); });
    each(Kind::Link, [&](Control& link) { b.bind(link, made<LinkLabel>(link)); });
    // Enter in a field of the new target adds it.
    for (QLineEdit* field : {host, portBox->lineEdit(), description})
        connect(field, &QLineEdit::returnPressed, add, &QAbstractButton::click);
    b.seal();

    if (!grid_) {
        // After the controls, so the focus goes from the buttons on to the grid and the log box, and a new
        // window gives it to the host box first.
        grid_ = new HostGridView(this);
        grid_->setObjectName(QStringLiteral("grdHotGrid"));
        grid_->setAccessibleName(QStringLiteral("Hosts"));
        place(grid_, 120, 1920, 8063, 3495, true, true);
        grid_->setClickHandler([this](int row) { forward([row](SMSPort& p) { p.grdHotGrid_Click(row); }); });
        grid_->setHistoryHandler([this](int row) { openHistory(row); });
        log_ = new LogView(this);
        log_->setObjectName(QStringLiteral("txtLog"));
        log_->setAccessibleName(QStringLiteral("Log"));
        place(log_, 120, 5640, 7935, 1455, true);
        grid_->show();
        log_->show();
    }
    layOut();
}

void MainWindow::attach(SMSPort& port) {
    detach();
    port_ = &port;
    bindControls(port);
    gridModel_ = std::make_unique<HostTableModel>(port.grid());
    grid_->follow(&port.grid(), gridModel_.get());
    log_->follow(&port.logBox());
    alertSettingListener_ = port.subscribeAlertSetting([this](AlertSetting* model) { followAlertSetting(model); });
}

void MainWindow::layOut() {
    const int dx = std::max(0, width() - px(kClientWidth));
    const int dy = std::max(0, height() - px(kClientHeight));
    for (const Placed& p : placed_) {
        const QPoint at = p.design.topLeft() + QPoint(p.right ? dx : 0, p.bottom ? dy : 0);
        if (p.widget->pos() != at)
            p.widget->move(at);
        if (p.wider || p.taller)
            p.widget->resize(p.design.size() + QSize(p.wider ? dx : 0, p.taller ? dy : 0));
    }
    if (grid_)
        grid_->setSpareWidth(dx);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
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

HistoryView* MainWindow::openHistory(int row) {
    if (!port_ || programEnded())
        return nullptr;
    std::unique_ptr<HistoryWindow> model = port_->historyWindow(row);
    if (!model)
        return nullptr;
    QPointer<HistoryView>& view = histories_[{model->host(), model->port()}];
    if (view)
        view->refresh();
    else
        view = new HistoryView(std::move(model), this);
    view->show();
    view->raise();
    view->activateWindow();
    return view;
}

void MainWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (auto action = std::exchange(firstPaint_, nullptr))
        QTimer::singleShot(0, this, std::move(action));
}

void MainWindow::detach() {
    if (!port_)
        return;
    // The History windows read the model's history.
    for (auto& [target, view] : histories_)
        delete view.data();
    histories_.clear();
    alertSettingListener_.reset();
    followAlertSetting(nullptr);
    log_->follow(nullptr);
    grid_->follow(nullptr, nullptr);
    gridModel_.reset();
    // The controls' widgets go with the model's controls; the next model's are made afresh.
    binding_->detach();
    std::erase_if(placed_, [this](const Placed& p) { return p.widget != grid_ && p.widget != log_; });
    for (QWidget* widget : binding_->widgets())
        if (widget != this)
            delete widget;
    binding_.reset();
    port_ = nullptr;
}

void MainWindow::forward(const std::function<void(SMSPort&)>& action) {
    if (binding_)
        binding_->forward([this, &action] { action(*port_); });
}

void MainWindow::show() {
    // The texts that changed while the window was in the tray, before its first paint.
    if (binding_)
        binding_->setWindowHidden(false);
    if (log_)
        log_->setFed(true);
    QWidget::show();
    if (frontPending_) {
        frontPending_ = false;
        bringToFront();
    }
}

void MainWindow::hide() {
    QWidget::hide();
    if (binding_)
        binding_->setWindowHidden(true);
    if (log_)
        log_->setFed(false);
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
    if (event->type() == QEvent::PaletteChange)
        refreshInks(this);
}

} // namespace wardel::qt
