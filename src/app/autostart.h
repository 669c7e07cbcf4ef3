#pragma once

#include <filesystem>
#include <string>

namespace wardel {

// "Start at Login": a freedesktop autostart entry, $XDG_CONFIG_HOME/autostart/wardel.desktop (with
// ~/.config in place of an unset or relative XDG_CONFIG_HOME). Its Exec names the running executable, so a
// copy in a folder of its own starts that copy. Whether it is on is read from the file each time, so a change
// made by hand shows.
std::filesystem::path autostartFile(const char* xdgConfigHome, const char* home);
bool autostartOn(const std::filesystem::path& file);
// Writes or removes the entry; false when that failed.
bool setAutostart(const std::filesystem::path& file, bool on, const std::string& executable);

} // namespace wardel
