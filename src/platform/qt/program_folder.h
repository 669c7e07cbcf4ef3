#pragma once

#include <filesystem>

namespace wardel::qt {

// The program's own folder for setting.ini, host.ini and the daily logs: the executable's folder, or, when
// that cannot be written or is the folder the program is installed to, the per-user data folder of the
// application, created on demand, so that saves and logs are not lost; a setting.ini or host.ini it lacks is first
// copied over from the executable's folder. Needs the application object and its name.
std::filesystem::path ProgramFolder();

} // namespace wardel::qt
