#include "platform/qt/qt_shell.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>

#include "platform/qt/program_end.h"

namespace wardel::qt {

bool QtShell::openFile(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

bool QtShell::openUrl(const std::string& url) {
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(url), QUrl::TolerantMode));
}

void QtShell::chooseExistingFile(const std::string& folder, const std::string& filter,
                                 std::function<void(const std::string&)> onChosen) {
    auto* dialog = new QFileDialog(parent_, QStringLiteral("Open"), QString::fromStdString(folder),
                                   QString::fromStdString(filter));
    dialog->setObjectName(QStringLiteral("CDialog1"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    QObject::connect(dialog, &QFileDialog::fileSelected, dialog, [onChosen = std::move(onChosen)](const QString& file) {
        if (onChosen && !file.isEmpty() && !programEnded())
            onChosen(file.toStdString());
    });
    dialog->open();
}

} // namespace wardel::qt
