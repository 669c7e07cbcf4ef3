#include "common/text_file.h"

#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace wardel {

namespace fs = std::filesystem;

std::optional<std::string> ReadWholeFile(const fs::path& file) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return content;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::size_t stop = end;
        if (stop > start && text[stop - 1] == '\r')
            --stop;
        lines.emplace_back(text, start, stop - start);
        start = end + 1;
    }
    return lines;
}

bool ReplaceFileAtomically(const fs::path& file, const std::string& content, FileAccess access) {
    std::error_code ec;
    const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    std::random_device random;
    const fs::path temp =
        folder / (file.filename().string() + ".tmp" + std::to_string(random() % 1000000000u));

    fs::perms perms = fs::perms::owner_read | fs::perms::owner_write;
    const auto oldStatus = fs::status(file, ec);
    if (!ec && fs::exists(oldStatus)) {
        if (!fs::is_regular_file(oldStatus))
            return false;
        if (access == FileAccess::Default)
            perms = oldStatus.permissions();
    } else if (access == FileAccess::Default) {
        perms |= fs::perms::group_read | fs::perms::others_read;
    }

    bool written = false;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (out) {
            // Narrow the bits before the first byte goes in, so a password never sits in a readable file.
            fs::permissions(temp, perms & (fs::perms::owner_all | fs::perms::group_all | fs::perms::others_all),
                            fs::perm_options::replace, ec);
            out.write(content.data(), static_cast<std::streamsize>(content.size()));
            out.flush();
            written = !ec && out.good();
        }
    }
    if (written) {
        fs::rename(temp, file, ec);
        if (!ec)
            return true;
    }
    fs::remove(temp, ec);
    return false;
}

bool AppendToFile(const fs::path& file, const std::string& content) {
    std::ofstream out(file, std::ios::binary | std::ios::app);
    if (!out)
        return false;
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.flush();
    return out.good();
}

}  // namespace wardel
