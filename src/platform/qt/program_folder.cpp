#include "platform/qt/program_folder.h"

#include "app/program_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <unistd.h>

namespace wardel::qt {

namespace {

std::filesystem::path ToPath(const QString& folder) {
    return QFile::encodeName(folder).toStdString();
}

} // namespace

std::filesystem::path ProgramFolder() {
    const QString ownFolder = QCoreApplication::applicationDirPath();
    if (::access(QFile::encodeName(ownFolder).constData(), W_OK) == 0)
        return ToPath(ownFolder);
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dataFolder);
    CopyMissingProgramFiles(ToPath(ownFolder), ToPath(dataFolder));
    return ToPath(dataFolder);
}

} // namespace wardel::qt
