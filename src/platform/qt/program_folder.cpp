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

std::filesystem::path programFolder(const AdoptProgramFiles& adopt) {
    const ProgramFolders folders = chooseProgramFolders();
    if (folders.files == folders.program)
        return folders.files;
    QDir().mkpath(QFile::decodeName(folders.files.c_str()));
    if (adopt)
        adopt(folders.program, folders.files);
    return folders.files;
}

ProgramFolders programFoldersWithoutDisplay(int argc, char** argv) {
    const QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Wardel"));
    return chooseProgramFolders();
}

} // namespace wardel::qt
