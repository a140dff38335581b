#include "analysis/worksheet/data_file_location.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

// Set by the build from the install layout; the fallback names the usual ones.
#ifndef HARROW_INSTALLATION_FOLDERS
#define HARROW_INSTALLATION_FOLDERS "/usr/bin:/usr/local/bin"
#endif

namespace {

bool SameFolder(const std::string& a, const std::string& b)
{
    struct stat sa, sb;
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && S_ISDIR(sa.st_mode) &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool IsFolder(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

DataFileResult CannotSave(const std::string& filePath, int error)
{
    DataFileResult r;
    r.status = DataFileResult::FileError;
    r.message = "Cannot save the file \"" + filePath + "\".\r" + std::strerror(error);
    return r;
}

}  // namespace

bool FolderWritable(const std::string& folder)
{
    // The effective user's rights, as a file creation would be checked.
    return !folder.empty() && IsFolder(folder) && faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

bool IsInstallationFolder(const std::string& folder)
{
    const std::string list = HARROW_INSTALLATION_FOLDERS;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        const std::string installed = list.substr(start, end - start);
        if (!installed.empty() && SameFolder(folder, installed)) return true;
        start = end + 1;
    }
    return false;
}

bool ProgramFolderUsable(const std::string& folder) { return FolderWritable(folder) && !IsInstallationFolder(folder); }

std::string DataFileFolder(const std::string& programFolder, const std::string& userDataFolder,
                           const FolderProbe& usable)
{
    return usable(programFolder) ? programFolder : userDataFolder;
}

DataFileResult PrepareDataFolder(const std::string& folder, const std::string& userDataFolder,
                                 const std::string& filePath)
{
    if (folder.empty() || folder != userDataFolder) return DataFileResult();
    // Each missing folder from the top down; one made meanwhile by another
    // program is as good as one made here.
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return CannotSave(filePath, errno);
        if (slash == std::string::npos) break;
    }
    if (!IsFolder(folder)) return CannotSave(filePath, ENOTDIR);
    return DataFileResult();
}
