#include "analysis/files/same_file.h"

#include <sys/stat.h>

#include <filesystem>

namespace platform {

std::string PlannedPath(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    if (error) return path;
    const fs::path existing = fs::canonical(absolute, error);
    if (!error) return existing.string();
    const fs::path folder = fs::canonical(absolute.parent_path(), error);
    if (!error) return (folder / absolute.filename()).string();
    return absolute.lexically_normal().string();
}

bool SameFile(const std::string& a, const std::string& b)
{
    struct stat first {};
    struct stat second {};
    if (::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0)
        return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    return PlannedPath(a) == PlannedPath(b);
}

std::string OutputIsInputMessage(const std::string& output, const std::string& what)
{
    return "Cannot write \"" + output + "\": it is the " + what + ", which is only read.";
}

}  // namespace platform
