#include "analysis/files/text_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

namespace platform {
namespace {

const char* const CannotSave = "Cannot save the file \"";

[[noreturn]] void Fail(const std::string& path, int error)
{
    throw FileWriteError(CannotSave + path + "\".\r" + std::strerror(error));
}

[[noreturn]] void Refuse(const std::string& path, const std::string& reason)
{
    throw FileWriteError(CannotSave + path + "\".\r" + reason);
}

// What a kind of file is called in a message.
const char* KindName(mode_t mode)
{
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a named pipe (FIFO)";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISLNK(mode)) return "a link";
    return "not a plain file";
}

// The regular file a save writes to: the path itself, or the file a link
// leads to when that is a regular file of the user running the program.
// Throws FileWriteError for anything else. Empty when the path is free.
std::string WriteTarget(const std::string& path)
{
    struct stat entry {};
    if (::lstat(path.c_str(), &entry) != 0) {
        if (errno == ENOENT) return std::string();
        Fail(path, errno);
    }
    if (S_ISREG(entry.st_mode)) return path;
    if (!S_ISLNK(entry.st_mode)) Refuse(path, NotRegularFileReason(entry.st_mode));

    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    if (!resolved) {
        const int error = errno;
        std::error_code ec;
        const std::string shown = std::filesystem::read_symlink(path, ec).string();
        if (error == ENOENT) Refuse(path, "It is a link to \"" + shown + "\", which does not exist.");
        Fail(path, error);
    }
    const std::string target = resolved.get();
    struct stat linked {};
    if (::stat(target.c_str(), &linked) != 0) Fail(path, errno);
    if (!S_ISREG(linked.st_mode))
        Refuse(path, "It is a link to \"" + target + "\", which is " + KindName(linked.st_mode) +
                         ", not a regular file.");
    if (linked.st_uid != ::geteuid())
        Refuse(path, "It is a link to \"" + target + "\", which belongs to another user.");
    return target;
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

FileReadResult ReadFailure(FileReadResult::Status status, const std::string& reason)
{
    FileReadResult r;
    r.status = status;
    r.reason = reason;
    return r;
}

}  // namespace

std::string NotRegularFileReason(unsigned mode)
{
    return std::string("It is ") + KindName(static_cast<mode_t>(mode)) + ", not a regular file.";
}

void WriteWholeFile(const std::string& path, const std::string& bytes)
{
    std::string target = WriteTarget(path);
    const bool exists = !target.empty();
    if (!exists) target = path;

    struct stat existing {};
    if (exists) {
        if (::stat(target.c_str(), &existing) != 0) Fail(path, errno);
        // Replacing by rename would get round a write-protected file.
        if (::access(target.c_str(), W_OK) != 0) Fail(path, errno);
    }

    // A new file, never the target itself: a pipe or device put in the
    // target's place meanwhile is replaced by the rename, never opened.
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

FileReadResult ReadRegularFile(const std::string& path, std::size_t byteLimit)
{
    // Looked at before opening: opening a device may already act on it.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        const int error = errno;
        return ReadFailure(error == ENOENT ? FileReadResult::Missing : FileReadResult::Failed, std::strerror(error));
    }
    if (!S_ISREG(info.st_mode)) return ReadFailure(FileReadResult::NotRegular, NotRegularFileReason(info.st_mode));

    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        return ReadFailure(error == ENOENT ? FileReadResult::Missing : FileReadResult::Failed, std::strerror(error));
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    // The name may have been given to something else since the look above.
    if (::fstat(fd, &info) != 0) return ReadFailure(FileReadResult::Failed, std::strerror(errno));
    if (!S_ISREG(info.st_mode)) return ReadFailure(FileReadResult::NotRegular, NotRegularFileReason(info.st_mode));

    FileReadResult r;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            return ReadFailure(FileReadResult::Failed, std::strerror(errno));
        }
        if (n == 0) break;
        const std::size_t room = byteLimit - r.bytes.size();
        if (static_cast<std::size_t>(n) > room) {
            r.bytes.append(chunk, room);
            r.tooLarge = true;
            break;
        }
        r.bytes.append(chunk, static_cast<std::size_t>(n));
    }
    return r;
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
