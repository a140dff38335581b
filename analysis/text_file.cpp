#include "analysis/text_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace platform {
namespace {

[[noreturn]] void Fail(const std::string& path, int error)
{
    throw FileWriteError("Cannot save the file \"" + path + "\".\r" + std::strerror(error));
}

// Writes go through a link to the file it names, as an ordinary write would.
std::string ResolveTarget(const std::string& path)
{
    std::error_code ec;
    std::filesystem::path p(path);
    if (std::filesystem::is_symlink(p, ec)) {
        std::filesystem::path resolved = std::filesystem::weakly_canonical(p, ec);
        if (!ec) return resolved.string();
    }
    return path;
}

class TempFile {
public:
    explicit TempFile(const std::string& target)
    {
        std::filesystem::path t(target);
        std::filesystem::path dir = t.parent_path();
        std::string name = (dir.empty() ? std::string() : dir.string() + "/") + "." +
                           t.filename().string() + ".XXXXXX";
        path_ = name;
        fd_ = ::mkstemp(path_.data());
        created_ = fd_ >= 0;
    }
    ~TempFile()
    {
        if (fd_ >= 0) ::close(fd_);
        if (created_ && !committed_) ::unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool Opened() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    const std::string& Path() const { return path_; }
    // Closes the descriptor; returns false (errno set) if the close failed.
    bool Close()
    {
        int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }
    void Committed() { committed_ = true; }

private:
    std::string path_;
    int fd_ = -1;
    bool created_ = false;
    bool committed_ = false;
};

void WriteAll(int fd, const std::string& path, const std::string& bytes)
{
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail(path, errno);
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
}

// A device or pipe cannot be replaced by a file: it is written in place.
void WriteInPlace(const std::string& target, const std::string& path, const std::string& bytes)
{
    const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) Fail(path, errno);
    try {
        WriteAll(fd, path, bytes);
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0) Fail(path, errno);
}

}  // namespace

void WriteWholeFile(const std::string& path, const std::string& bytes)
{
    const std::string target = ResolveTarget(path);

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists) {
        if (S_ISDIR(existing.st_mode)) Fail(path, EISDIR);
        // Replacing by rename would get round a write-protected file.
        if (::access(target.c_str(), W_OK) != 0) Fail(path, errno);
        if (!S_ISREG(existing.st_mode)) {
            WriteInPlace(target, path, bytes);
            return;
        }
    }

    TempFile temp(target);
    if (!temp.Opened()) Fail(path, errno);

    mode_t mode;
    if (exists) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(temp.Fd(), mode) != 0) Fail(path, errno);

    WriteAll(temp.Fd(), path, bytes);
    if (::fsync(temp.Fd()) != 0) Fail(path, errno);
    if (!temp.Close()) Fail(path, errno);
    if (::rename(temp.Path().c_str(), target.c_str()) != 0) Fail(path, errno);
    temp.Committed();
}

std::string LfToCrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

}  // namespace platform
