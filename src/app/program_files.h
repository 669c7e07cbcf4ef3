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

// The setting.ini and host.ini a start-up reads.
struct StartUpFiles {
    std::filesystem::path settings;
    std::filesystem::path hostList;
    std::filesystem::path history; // the probe history, always in the files folder: it is never copied
};

// The files a start-up with this files folder would read, found without copying anything: where the files
// folder is the per-user one and lacks a file, the program's folder's copy, which start-up would carry over
// first. So a run that only reads sees exactly what the monitor would.
StartUpFiles startUpFiles(const std::filesystem::path& filesFolder, const std::filesystem::path& programFolder);

} // namespace wardel
