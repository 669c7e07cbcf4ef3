#include "ui/tray_menu.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "alerts/alertmanager_sink.h"
#include "app/autostart.h"

namespace wardel::qt {

AlertmanagerDialog::AlertmanagerDialog(SMSPort& port, QWidget* parent)
    : QDialog(parent), port_(port), url_(new QLineEdit(this)), answer_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Alertmanager"));
    setAttribute(Qt::WA_DeleteOnClose);
    url_->setObjectName(QStringLiteral("alertmanagerUrl"));
    url_->setPlaceholderText(QStringLiteral("http://127.0.0.1:9093"));
    if (port.alertmanager() != nullptr)
        url_->setText(QString::fromStdString(port.alertmanager()->baseUrl()));
    answer_->setObjectName(QStringLiteral("alertmanagerAnswer"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    QPushButton* test = buttons->addButton(QStringLiteral("Test"), QDialogButtonBox::ActionRole);
    test->setObjectName(QStringLiteral("alertmanagerTest"));
    connect(test, &QPushButton::clicked, this, [this] { this->test(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { save(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Alertmanager's address (empty: no forwarding):"), this));
    layout->addWidget(url_);
    layout->addWidget(answer_);
    layout->addWidget(buttons);
}

void AlertmanagerDialog::test() {
    const std::string base = url_->text().trimmed().toStdString();
    if (port_.alertmanager() == nullptr || base.empty())
        return answer_->setText(QStringLiteral("Nothing to test: no address."));
    answer_->setText(QStringLiteral("Posting a test alert…"));
    QPointer<AlertmanagerDialog> alive(this);
    port_.alertmanager()->postTest(base, [alive, base](bool answered) {
        if (alive)
            alive->answer_->setText(answered ? QStringLiteral("Alertmanager took the test alert.")
                                             : QString::fromStdString("No answer from " + base + "."));
    });
}

void AlertmanagerDialog::save() {
    if (port_.saveAlertmanagerBase(url_->text().toStdString()))
        return accept();
    answer_->setText(QStringLiteral("alertmanager.ini could not be written."));
}

TrayMenu::TrayMenu(SMSPort& port, QString executable, std::filesystem::path autostart)
    : port_(port), executable_(std::move(executable)), autostart_(std::move(autostart)) {
    addAction(QStringLiteral("Show Wardel"), this, [this] { port_.trayDoubleClick(); });
    monitor_ = addAction(QString(), this, [this] {
        port_.cmdMonitor_Click();
        refresh();
    });
    addSeparator();
    addAction(QStringLiteral("Alert Settings"), this, [this] { port_.cmdSetting_Click(); });
    addAction(QStringLiteral("Alertmanager…"), this, [this] {
        if (!alertmanager_)
            alertmanager_ = new AlertmanagerDialog(port_);
        alertmanager_->show();
        alertmanager_->raise();
    });
    startAtLogin_ = addAction(QStringLiteral("Start at Login"));
    startAtLogin_->setCheckable(true);
    connect(startAtLogin_, &QAction::triggered, this, [this](bool on) {
        setAutostart(autostart_, on, executable_.toStdString());
        refresh();
    });
    addSeparator();
    addAction(QStringLiteral("Exit"), this, [this] { port_.cmdExit_Click(); });
    connect(this, &QMenu::aboutToShow, this, [this] { refresh(); });
    refresh();
}

void TrayMenu::refresh() {
    monitor_->setText(QString::fromStdString(port_.controls().cmdMonitor.text()));
    startAtLogin_->setChecked(autostartOn(autostart_));
}

} // namespace wardel::qt
