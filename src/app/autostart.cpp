#include "app/autostart.h"

#include "common/text_file.h"

namespace wardel {

namespace {

// An Exec argument: quoted, with the characters reserved inside quotes escaped, then written as a string
// value of the file, whose own escape doubles each backslash.
std::string execQuoted(const std::string& path) {
    std::string quoted = "\"";
    for (const char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += "\\\\";
        if (c == '\\')
            quoted += "\\\\";
        else if (c == '%')
            quoted += "%%";
        else
            quoted += c;
    }
    return quoted + "\"";
}

} // namespace

std::filesystem::path autostartFile(const char* xdgConfigHome, const char* home) {
    std::filesystem::path config;
    if (xdgConfigHome != nullptr && std::filesystem::path(xdgConfigHome).is_absolute())
        config = xdgConfigHome;
    else
        config = std::filesystem::path(home != nullptr ? home : "") / ".config";
    return config / "autostart" / "wardel.desktop";
}

bool autostartOn(const std::filesystem::path& file) {
    std::error_code ec;
    return std::filesystem::is_regular_file(file, ec);
}

bool setAutostart(const std::filesystem::path& file, bool on, const std::string& executable) {
    std::error_code ec;
    if (!on)
        return std::filesystem::remove(file, ec) || !ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    return replaceFileAtomically(file, "[Desktop Entry]\nType=Application\nName=Wardel\nExec=" +
                                           execQuoted(executable) + "\nIcon=wardel\nTerminal=false\n");
}

} // namespace wardel
