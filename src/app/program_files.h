#pragma once

#include <filesystem>
#include <string>

namespace wardel {

// Where the program's own folder cannot be written, its files live in a per-user folder instead. A
// setting.ini or host.ini that lies in the program's folder but not (yet) in the per-user one is copied
// over byte for byte, so the operator's settings and targets carry over; a per-user copy is never replaced.
// A file that cannot be copied is left where it is: the start goes on without it.
void copyMissingProgramFiles(const std::filesystem::path& programFolder, const std::filesystem::path& userFolder);

// The log line of a start that reads its files from the program's folder but can save nowhere: that folder
// cannot be written and the per-user folder cannot be created.
std::string filesNotWritableMessage(const std::filesystem::path& programFolder,
                                    const std::filesystem::path& userFolder);

} // namespace wardel
