#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace wardel {

// The whole content of a file, or nullopt when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file);

// Splits text at its line ends (CR LF, or a lone LF); a final line end does not start another line.
std::vector<std::string> SplitLines(const std::string& text);

enum class FileAccess { Default, OwnerOnly };

// Replaces the file's content with `content` or leaves the old file whole: the bytes go to a temporary file
// beside it, which is then renamed over the old one. An existing file keeps its permission bits; a new one
// made with OwnerOnly is readable and writable by its owner only. False when anything failed.
bool ReplaceFileAtomically(const std::filesystem::path& file, const std::string& content,
                           FileAccess access = FileAccess::Default);

// Appends to the end of the file, creating it when missing; false when anything failed.
bool AppendToFile(const std::filesystem::path& file, const std::string& content);

}  // namespace wardel
