#pragma once

#include <filesystem>
#include <functional>

namespace wardel::qt {

// The program's own folder for setting.ini, host.ini and the daily logs: the executable's folder, or, when
// that cannot be written or is the folder the program is installed to, the per-user data folder of the
// application, created on demand, so that saves and logs are not lost. Before the per-user folder is used,
// `adopt` gets the executable's folder and the per-user one (to carry files over). Needs the application object
// and its name.
using AdoptProgramFiles =
    std::function<void(const std::filesystem::path& programFolder, const std::filesystem::path& userFolder)>;
std::filesystem::path programFolder(const AdoptProgramFiles& adopt = {});

// The executable's folder and the files folder programFolder would choose, where nothing is created.
struct ProgramFolders {
    std::filesystem::path program;
    std::filesystem::path files;
};

// The same choice for a run that only reads the files and opens no display: it makes its own core
// application object, under the monitor's name, for the time of the choice.
ProgramFolders programFoldersWithoutDisplay(int argc, char** argv);

} // namespace wardel::qt
