#pragma once
// Reading and writing whole files safely. Only regular files are read or
// written: a named pipe, device, socket or folder in a file's place is
// refused with a message that says what it is, and nothing ever waits on one.
// Writing is done in one step: either the file ends up holding exactly the
// given bytes, or it is left as it was (and no new file appears).
#include <cstddef>
#include <stdexcept>
#include <string>

namespace platform {

class FileWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Creates or replaces the regular file (UTF-8 name) with bytes. The data go
// to a new temporary file beside it, which replaces the target only once
// everything is written and flushed to disk; a replaced file keeps its
// permissions. The target itself is never opened, so nothing can block.
// Refused (FileWriteError), the file left as it was, for the reasons of
// CheckWriteTarget (write_target.h): what is not a regular file, a link
// another user planted in a shared folder, a link to anything but the
// user's own regular file. A replaced file keeps its owner and group where
// the user may give them.
// The message names the file and gives the reason, e.g. "Cannot save the
// file \"/x/a.txt\".\rPermission denied" or "Cannot save the file
// \"/x/Harrow.txt\".\rIt is a named pipe (FIFO), not a regular file."
void WriteWholeFile(const std::string& path, const std::string& bytes);

// A file read whole: the outcome, the bytes, and the reason of a failure.
struct FileReadResult {
    enum Status {
        Ok,          // bytes hold the file (at most the limit; see tooLarge)
        Missing,     // no file of that name (reason: the system's text)
        NotRegular,  // reason: what it is, e.g. "It is a directory, not a regular file."
        Failed,      // reason: the system's text, e.g. "Permission denied"
    };
    Status status = Ok;
    std::string bytes;
    std::string reason;
    bool tooLarge = false;  // Ok, but the file holds more than the limit
    bool ok() const { return status == Ok; }
};

// A regular file opened once for reading (UTF-8 name; a link is followed),
// so that every read comes from the file that was checked: opened without
// waiting (O_NONBLOCK) and checked on the open descriptor, so a pipe or
// device put in its place is refused, never read. The descriptor is closed
// with the object.
class RegularFile {
public:
    explicit RegularFile(const std::string& path);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    bool ok() const { return status_ == FileReadResult::Ok; }
    FileReadResult::Status Status() const { return status_; }
    const std::string& Reason() const { return reason_; }  // when not ok
    int Descriptor() const { return fd_; }                  // -1 when not ok
    unsigned long long Size() const { return size_; }      // at the open

    // The file's bytes from its start, at most byteLimit (FileReadResult).
    FileReadResult ReadAll(std::size_t byteLimit) const;
    // Up to count bytes from the start (fewer at the end of the file).
    std::string Head(std::size_t count) const;

private:
    FileReadResult::Status status_ = FileReadResult::Ok;
    std::string reason_;
    int fd_ = -1;
    unsigned long long size_ = 0;
};

// Reads a regular file (UTF-8 name; a link is followed), at most byteLimit
// bytes. The file is opened without waiting (O_NONBLOCK) and checked again
// on the open descriptor, so a pipe put in its place meanwhile is refused
// too, never read.
FileReadResult ReadRegularFile(const std::string& path, std::size_t byteLimit);

// "a named pipe (FIFO)", "a directory", "a device", ... for what a stat mode says.
const char* FileKindName(unsigned mode);

// "It is a named pipe (FIFO), not a regular file." for what a stat mode says.
std::string NotRegularFileReason(unsigned mode);

}  // namespace platform
