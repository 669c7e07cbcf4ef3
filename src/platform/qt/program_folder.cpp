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

// Where the files live, without creating anything.
ProgramFolders chooseProgramFolders() {
    const QString ownFolder = QCoreApplication::applicationDirPath();
    if (!isInstallFolder(ownFolder) && ::access(QFile::encodeName(ownFolder).constData(), W_OK) == 0)
        return {toPath(ownFolder), toPath(ownFolder)};
    return {toPath(ownFolder), toPath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))};
}

} // namespace

ProgramFolder locateProgramFolder() {
    const QString ownFolder = QCoreApplication::applicationDirPath();
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    ProgramFolder folder{ProgramFolder::Kind::Own, toPath(ownFolder), toPath(ownFolder), toPath(dataFolder)};
    const bool writable = ::access(QFile::encodeName(ownFolder).constData(), W_OK) == 0;
    if (!isInstallFolder(ownFolder) && writable)
        return folder;
    if (dataFolder.isEmpty() || !QDir().mkpath(dataFolder)) {
        // Root without a home keeps the files beside the installed program rather than lose every save.
        folder.kind = writable ? ProgramFolder::Kind::Own : ProgramFolder::Kind::ReadOnly;
        return folder;
    }
    folder.kind = ProgramFolder::Kind::PerUser;
    folder.files = folder.perUser;
    return folder;
}

ProgramFolders programFoldersWithoutDisplay(int argc, char** argv) {
    const QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Wardel"));
    return chooseProgramFolders();
}

} // namespace wardel::qt
