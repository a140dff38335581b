#pragma once
// The readers take a path: each fuzz input goes into one memory file named by
// its /proc entry, so no disk file is written per input.
#include <sys/mman.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

inline int MemoryInputDescriptor()
{
    static const int fd = [] {
        int d = memfd_create("fuzz-input", 0);
        if (d < 0) std::abort();
        return d;
    }();
    return fd;
}

inline const std::string& MemoryInputPath()
{
    static const std::string path = "/proc/self/fd/" + std::to_string(MemoryInputDescriptor());
    return path;
}

// Replaces the memory file's contents with the input.
inline void WriteMemoryInput(const std::uint8_t* data, std::size_t size)
{
    const int fd = MemoryInputDescriptor();
    if (ftruncate(fd, 0) != 0) std::abort();
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        if (n <= 0) std::abort();
        done += static_cast<std::size_t>(n);
    }
}
