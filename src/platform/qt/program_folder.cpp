#include "platform/qt/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <unistd.h>

#include "build_config.h"

namespace wardel::qt {

namespace {

std::filesystem::path toPath(const QString& folder) {
    return QFile::encodeName(folder).toStdString();
}

// The folders the package and `cmake --install` put the program in. A program there keeps its files per
// user even when run by root, who could write beside it into the system's own folder.
bool isInstallFolder(const QString& folder) {
    return QStringLiteral(WARDEL_INSTALL_FOLDERS).split(u':').contains(folder);
}

} // namespace

std::filesystem::path programFolder(const AdoptProgramFiles& adopt) {
    const QString ownFolder = QCoreApplication::applicationDirPath();
    if (!isInstallFolder(ownFolder) && ::access(QFile::encodeName(ownFolder).constData(), W_OK) == 0)
        return toPath(ownFolder);
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dataFolder);
    if (adopt)
        adopt(toPath(ownFolder), toPath(dataFolder));
    return toPath(dataFolder);
}

} // namespace wardel::qt
