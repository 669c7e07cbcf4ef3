#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hosts/host_table.h"

namespace wardel {

// host.ini: one line per target, four fields in double quotes separated by commas, CR LF at the end:
//   "host","port","description","threshold"
// The fields are written without any escaping, so a field can never hold a double quote, a CR or an LF.
// An empty table is written as one record of four empty fields.

// The file's name in the program's folder.
inline constexpr const char* kHostListFileName = "host.ini";

// True when the text can stand between the quotes of a field: no double quote, no CR, no LF.
bool fitsHostList(std::string_view text);

// The file's text for the data rows of the grid, row 1 first; nullopt when a persistent cell holds a text
// that cannot be written as a field.
std::optional<std::string> formatHostList(const HostTable& grid);

// Reads the records of a host list as table entries: host, port, description and failure limit filled, the
// other cells empty, each field read straight into its place. Fields are taken four at a time, in order, not
// line by line; a comma or a line end (CR LF, LF or CR) ends a field. A field that begins with a double quote
// runs to the next double quote and keeps its commas. Hand-edited text is read as far as it goes:
// - blank lines (nothing but spaces or tabs) are skipped;
// - spaces and tabs around an unquoted field, and before a quoted one, are dropped;
// - a quoted field missing its closing quote ends at its line end;
// - text between a closing quote and the next comma or line end is dropped, as is any double quote inside an
//   unquoted field, so no field read here holds a double quote;
// - a last record cut short keeps the fields it has and leaves the others empty.
std::vector<HostEntry> parseHostList(std::string_view text);

// Places the records of the file in the grid as Adds would, with no message and no log line: the first record
// with a host fills the empty table's row 1, every later one is appended. A missing or unreadable file leaves
// the grid as it is.
void loadHostListFile(const std::filesystem::path& file, HostTable& grid);

// Replaces the file with the grid's data rows; false, and the file left as it was, when the grid holds more
// entries than the file takes, a persistent cell cannot be written as a field, or the write fails. A
// read-only file stays as it is, even for root, who could write it.
bool saveHostListFile(const std::filesystem::path& file, const HostTable& grid);

} // namespace wardel
