#pragma once

#include <filesystem>

namespace wardel::qt {

// The program's own folder for setting.ini, host.ini and the daily logs: the executable's folder, or, when
// that cannot be written or is the folder the program is installed to, the per-user data folder of the
// application, created here, so that saves and logs are not lost. When the per-user folder cannot be created
// either (a service account without a home), the files are read from the executable's folder, where saves
// fail as usual unless the user may write there after all (root beside an installed program). Nothing is
// read here. Needs the application object and its name.
struct ProgramFolder {
    enum class Kind {
        Own,      // the executable's folder
        PerUser,  // the per-user folder; files missing there may be carried over from the executable's folder
        ReadOnly, // the executable's folder, which cannot be written, since the per-user one cannot be created
    };
    Kind kind = Kind::Own;
    std::filesystem::path files;      // where the files are
    std::filesystem::path executable; // the executable's folder
    std::filesystem::path perUser;    // the per-user folder, used or not
};
ProgramFolder locateProgramFolder();

// The executable's folder and the files folder locateProgramFolder would choose, where nothing is created.
struct ProgramFolders {
    std::filesystem::path program;
    std::filesystem::path files;
};

// The same choice for a run that only reads the files and opens no display: it makes its own core
// application object, under the monitor's name, for the time of the choice.
ProgramFolders programFoldersWithoutDisplay(int argc, char** argv);

} // namespace wardel::qt
