#include "analysis/files/text_file.h"

#include "analysis/files/write_target.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace platform {
namespace {

const char* const CannotSave = "Cannot save the file \"";

[[noreturn]] void Fail(const std::string& path, int error)
{
    throw FileWriteError(CannotSave + path + "\".\r" + std::strerror(error));
}

class TempFile {
public:
    explicit TempFile(const std::string& target)
    {
        std::filesystem::path t(target);
        std::filesystem::path dir = t.parent_path();
        // ".<name>.XXXXXX", the name cut short so that it fits the folder's
        // limit on names when the target's own name is already that long.
        constexpr std::size_t NameMax = 255;
        const std::string suffix = ".XXXXXX";
        std::string base = t.filename().string().substr(0, NameMax - 1 - suffix.size());
        std::string name = (dir.empty() ? std::string() : dir.string() + "/") + "." + base + suffix;
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

const char* FileKindName(unsigned mode)
{
    const auto m = static_cast<mode_t>(mode);
    if (S_ISDIR(m)) return "a directory";
    if (S_ISFIFO(m)) return "a named pipe (FIFO)";
    if (S_ISCHR(m) || S_ISBLK(m)) return "a device";
    if (S_ISSOCK(m)) return "a socket";
    return "not a plain file";
}

std::string NotRegularFileReason(unsigned mode)
{
    return std::string("It is ") + FileKindName(mode) + ", not a regular file.";
}

void WriteWholeFile(const std::string& path, const std::string& bytes)
{
    std::string target = CheckWriteTarget(path);
    const bool exists = !target.empty();
    if (!exists) target = path;

    struct stat existing {};
    if (exists && ::stat(target.c_str(), &existing) != 0) Fail(path, errno);

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
    // The replaced file's owner and group where the user may give them (the
    // user's own file, or any file for the administrator); the mode after,
    // as a change of owner may clear its set-id bits.
    if (exists && ::fchown(temp.Fd(), existing.st_uid, existing.st_gid) != 0)
        (void)::fchown(temp.Fd(), static_cast<uid_t>(-1), existing.st_gid);
    if (::fchmod(temp.Fd(), mode) != 0) Fail(path, errno);

    WriteAll(temp.Fd(), path, bytes);
    if (::fsync(temp.Fd()) != 0) Fail(path, errno);
    if (!temp.Close()) Fail(path, errno);
    if (::rename(temp.Path().c_str(), target.c_str()) != 0) Fail(path, errno);
    temp.Committed();
}

RegularFile::RegularFile(const std::string& path)
{
    auto fail = [this](int error) {
        status_ = error == ENOENT ? FileReadResult::Missing : FileReadResult::Failed;
        reason_ = std::strerror(error);
    };
    // Looked at before opening: opening a device may already act on it.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        fail(errno);
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        status_ = FileReadResult::NotRegular;
        reason_ = NotRegularFileReason(info.st_mode);
        return;
    }
    fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0) {
        fail(errno);
        return;
    }
    // The name may have been given to something else since the look above.
    if (::fstat(fd_, &info) != 0) {
        fail(errno);
    } else if (!S_ISREG(info.st_mode)) {
        status_ = FileReadResult::NotRegular;
        reason_ = NotRegularFileReason(info.st_mode);
    } else {
        size_ = static_cast<unsigned long long>(info.st_size);
        return;
    }
    ::close(fd_);
    fd_ = -1;
}

RegularFile::~RegularFile()
{
    if (fd_ >= 0) ::close(fd_);
}

FileReadResult RegularFile::ReadAll(std::size_t byteLimit) const
{
    if (!ok()) return ReadFailure(status_, reason_);
    FileReadResult r;
    char chunk[65536];
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(fd_, chunk, sizeof chunk, at);
        if (n < 0) {
            if (errno == EINTR) continue;
            return ReadFailure(FileReadResult::Failed, std::strerror(errno));
        }
        if (n == 0) break;
        at += n;
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

std::string RegularFile::Head(std::size_t count) const
{
    std::string head(count, '\0');
    std::size_t got = 0;
    while (ok() && got < count) {
        const ssize_t n = ::pread(fd_, &head[got], count - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    head.resize(got);
    return head;
}

FileReadResult ReadRegularFile(const std::string& path, std::size_t byteLimit)
{
    const RegularFile file(path);
    return file.ReadAll(byteLimit);
}

}  // namespace platform
