#include "analysis/files/write_target.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "analysis/files/text_file.h"

namespace platform {
namespace {

[[noreturn]] void Fail(const std::string& path, int error)
{
    throw FileWriteError("Cannot save the file \"" + path + "\".\r" + std::strerror(error));
}

[[noreturn]] void Refuse(const std::string& path, const std::string& reason)
{
    throw FileWriteError("Cannot save the file \"" + path + "\".\r" + reason);
}

std::string LinkText(const std::string& link)
{
    std::error_code ec;
    return std::filesystem::read_symlink(link, ec).string();
}

// The folder that holds name (as given, links before it followed by stat).
std::string FolderOf(const std::string& name)
{
    const std::filesystem::path parent = std::filesystem::path(name).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

// The kernel's protected-links rule: a link in a sticky folder that others
// may write is followed only by its owner or when the folder's owner owns it.
bool MayFollow(const struct stat& link, const std::string& folder)
{
    if (link.st_uid == ::geteuid()) return true;
    struct stat dir {};
    if (::stat(folder.c_str(), &dir) != 0) return false;
    const bool shared = (dir.st_mode & S_ISVTX) && (dir.st_mode & S_IWOTH);
    return !shared || dir.st_uid == link.st_uid;
}

// Every link along the name (the folders leading to it and the name itself)
// must be one the rule lets the user follow.
void CheckLinksAlong(const std::string& path)
{
    std::filesystem::path prefix;
    for (const std::filesystem::path& part : std::filesystem::path(path)) {
        prefix /= part;
        if (part == "/" || part == "." || part == ".." || part.empty()) continue;
        struct stat entry {};
        if (::lstat(prefix.c_str(), &entry) != 0) return;  // the rest does not exist yet
        if (S_ISLNK(entry.st_mode) && !MayFollow(entry, FolderOf(prefix.string())))
            Refuse(path, "It is a link to \"" + LinkText(prefix.string()) +
                             "\" made by another user in a shared folder; Harrow does not follow it.");
    }
}

void CheckFolderWritable(const std::string& path, const std::string& target)
{
    const std::string folder = FolderOf(target);
    if (::access(folder.c_str(), W_OK | X_OK) != 0) Fail(path, errno);
}

}  // namespace

std::string CheckWriteTarget(const std::string& path)
{
    CheckLinksAlong(path);
    struct stat entry {};
    if (::lstat(path.c_str(), &entry) != 0) {
        if (errno != ENOENT) Fail(path, errno);
        CheckFolderWritable(path, path);
        return std::string();
    }
    std::string target = path;
    if (S_ISLNK(entry.st_mode)) {
        std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
        if (!resolved) {
            const int error = errno;
            if (error == ENOENT) Refuse(path, "It is a link to \"" + LinkText(path) + "\", which does not exist.");
            Fail(path, error);
        }
        target = resolved.get();
        struct stat linked {};
        if (::stat(target.c_str(), &linked) != 0) Fail(path, errno);
        if (!S_ISREG(linked.st_mode))
            Refuse(path, "It is a link to \"" + target + "\", which is " + FileKindName(linked.st_mode) +
                             ", not a regular file.");
        if (linked.st_uid != ::geteuid())
            Refuse(path, "It is a link to \"" + target + "\", which belongs to another user.");
    } else if (!S_ISREG(entry.st_mode)) {
        Refuse(path, NotRegularFileReason(entry.st_mode));
    }
    // Replacing by rename would get round a write-protected file.
    if (::access(target.c_str(), W_OK) != 0) Fail(path, errno);
    CheckFolderWritable(path, target);
    return target;
}

}  // namespace platform
