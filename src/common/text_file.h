#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace wardel {

// The whole content of a file, or nullopt when it cannot be read.
std::optional<std::string> readWholeFile(const std::filesystem::path& file);

// Splits text at its line ends (CR LF, a lone LF or a lone CR), so no line holds a line break; a final line end does
// not start another line. Only the first `maxLines` lines are taken: a reader that wants a few lines of a huge file
// holds only those.
std::vector<std::string> splitLines(const std::string& text, std::size_t maxLines = SIZE_MAX);

enum class FileAccess { Default, OwnerOnly };
// What a symbolic link at the file's name means: the operator's own link to where the file lives (Follow), or,
// in a folder others may write, something planted there that is replaced by the file and never written through.
enum class LinkAtName { Follow, Replace };

// Replaces the file's content with `content` or leaves the old file whole: the bytes go to the temporary
// file "<name>.tmp" beside it, reach the disk, and that file is then renamed over the old one. A symbolic
// link stays a link and the file it finally names is replaced. An existing file keeps its owner (where the
// running user may give it) and its permission bits; a new one gets 0666 less the umask. OwnerOnly makes
// the file readable and writable by its owner only. A file the running user may not write is left alone:
// for root one without its owner-write bit, for any other user one it or whose folder it cannot write.
// With LinkAtName::Replace a link at the name is replaced by a new file and what it names is left alone.
// False when anything failed.
bool replaceFileAtomically(const std::filesystem::path& file, const std::string& content,
                           FileAccess access = FileAccess::Default, LinkAtName link = LinkAtName::Follow);

// Appends the whole content to the end of the file, creating it when missing, or nothing when it does not
// all fit. A file the running user may not write (as above) is left alone. False when anything failed.
bool appendToFile(const std::filesystem::path& file, const std::string& content);

} // namespace wardel
