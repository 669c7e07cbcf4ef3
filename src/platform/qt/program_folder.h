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

} // namespace wardel::qt
