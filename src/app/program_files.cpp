#include "app/program_files.h"

#include "history/history_recorder.h"

#include <system_error>

#include "common/text_file.h"
#include "hosts/host_list_file.h"
#include "settings/settings_file.h"

namespace wardel {

void copyMissingProgramFiles(const std::filesystem::path& programFolder, const std::filesystem::path& userFolder) {
    const struct {
        const char* name;
        FileAccess access;
    } files[] = {{kSettingsFileName, FileAccess::OwnerOnly}, {kHostListFileName, FileAccess::Default}};
    for (const auto& file : files) {
        std::error_code ec;
        // Anything in the per-user folder under that name, even a dangling link, is the operator's own.
        if (std::filesystem::exists(std::filesystem::symlink_status(userFolder / file.name, ec)))
            continue;
        if (const auto content = readWholeFile(programFolder / file.name))
            replaceFileAtomically(userFolder / file.name, *content, file.access);
    }
}

std::string filesNotWritableMessage(const std::filesystem::path& programFolder,
                                    const std::filesystem::path& userFolder) {
    return "File Save Error : " + programFolder.string() + " cannot be written and " + userFolder.string() +
           " cannot be created";
}

StartUpFiles startUpFiles(const std::filesystem::path& filesFolder, const std::filesystem::path& programFolder) {
    const auto fileRead = [&](const char* name) {
        std::error_code ec;
        if (filesFolder == programFolder ||
            std::filesystem::exists(std::filesystem::symlink_status(filesFolder / name, ec)))
            return filesFolder / name;
        return programFolder / name;
    };
    return {fileRead(kSettingsFileName), fileRead(kHostListFileName), filesFolder / kHistoryFileName};
}

} // namespace wardel
