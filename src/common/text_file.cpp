#include "common/text_file.h"

#include <cerrno>
#include <fstream>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wardel {

namespace fs = std::filesystem;

namespace {

// Follows symbolic links to the file they finally name, which need not exist yet; nullopt for a loop.
std::optional<fs::path> finalTarget(fs::path file) {
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(file, ec)))
            return file;
        const fs::path target = fs::read_symlink(file, ec);
        if (ec)
            return std::nullopt;
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    return std::nullopt;
}

fs::path folderOf(const fs::path& file) {
    return file.parent_path().empty() ? fs::path(".") : file.parent_path();
}

// Whether the running user may change an existing file. Root could write anything, so for root the file's
// owner-write bit decides; any other user needs write access to the file and, when a temporary file is to
// take its place, to its folder.
bool mayChange(const fs::path& file, const struct stat& status, bool replaced) {
    if (::geteuid() == 0)
        return (status.st_mode & S_IWUSR) != 0;
    if (::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0)
        return false;
    return !replaced || ::faccessat(AT_FDCWD, folderOf(file).c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

bool writeAll(int fd, const std::string& content) {
    const char* next = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        next += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

// Gives the new file the old one's owner and group, or at least its group; where neither is allowed the
// file becomes the running user's, as any file it writes does. The mode is set after, since a change of
// owner can clear some of its bits.
bool keepOwner(int fd, const struct stat& old) {
    return ::fchown(fd, old.st_uid, old.st_gid) == 0 || ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
}

// Makes a rename in the folder last across a power cut; a file system that cannot sync a folder is left be.
void syncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

std::optional<std::string> readWholeFile(const fs::path& file) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    // Read in blocks: a byte at a time makes a file of megabytes take seconds.
    std::string content;
    char block[64 * 1024];
    while (in.read(block, sizeof block) || in.gcount() > 0)
        content.append(block, static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        return std::nullopt;
    return content;
}

std::vector<std::string> splitLines(const std::string& text, std::size_t maxLines) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size() && lines.size() < maxLines) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        lines.emplace_back(text, start, end - start);
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

bool replaceFileAtomically(const fs::path& path, const std::string& content, FileAccess access, LinkAtName link) {
    // A link stays a link: the file it names is the one replaced, in that file's own folder. Or the name
    // itself is replaced, and a link there counts as no file at all.
    const auto file = link == LinkAtName::Follow ? finalTarget(path) : std::optional<fs::path>(path);
    if (!file)
        return false;
    struct stat old {};
    bool exists = ::lstat(file->c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        return false;
    if (exists && S_ISLNK(old.st_mode))
        exists = false;
    if (exists && (!S_ISREG(old.st_mode) || !mayChange(*file, old, true)))
        return false;

    // One fixed temporary name per file: a save cut off half-way leaves at most this one file, and the next
    // save takes it over. A link planted in its place is removed, never followed.
    const fs::path folder = folderOf(*file);
    const fs::path temp = folder / (file->filename().string() + ".tmp");
    ::unlink(temp.c_str());
    // A new file is made as any new file is (0666 less the umask); the password file is for its owner only.
    const mode_t created = access == FileAccess::OwnerOnly || exists ? 0600 : 0666;
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, created);
    if (fd < 0)
        return false;
    bool ok = true;
    if (exists)
        keepOwner(fd, old);
    if (access == FileAccess::OwnerOnly)
        ok = ::fchmod(fd, 0600) == 0;
    else if (exists)
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    // The bytes reach the disk before the rename, so a power cut leaves the old file or the new one.
    ok = ok && writeAll(fd, content) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), file->c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
}

bool appendToFile(const fs::path& file, const std::string& content) {
    struct stat status {};
    if (::stat(file.c_str(), &status) == 0 && !mayChange(file, status, false))
        return false;
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    struct stat before {};
    bool ok = ::fstat(fd, &before) == 0;
    if (ok && !writeAll(fd, content)) {
        // The content goes in whole or not at all: cut off what a full disk let through, so the next line
        // does not start in the middle of this one.
        [[maybe_unused]] const int cut = ::ftruncate(fd, before.st_size);
        ok = false;
    }
    return ::close(fd) == 0 && ok;
}

} // namespace wardel
