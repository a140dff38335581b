// The raw-data reader opens its file once and reads everything from that
// descriptor: a named pipe put in the file's place just after the open (as
// another program could) is never opened, so it can neither be read nor
// block the reading.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/fanotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "analysis/raw_data/raw_data_reader.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// Holds the first open of a file until its name has been given to a pipe,
// then lets that open go on; a reader that opens the name again meets the
// pipe and waits, until Finish lets it go by opening the pipe's other end.
class PipeAfterFirstOpen {
public:
    PipeAfterFirstOpen(const fs::path& file, const fs::path& pipe) : file_(file), pipe_(pipe)
    {
        notify_ = ::fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC, O_RDONLY);
        if (notify_ < 0) return;
        if (::fanotify_mark(notify_, FAN_MARK_ADD, FAN_OPEN_PERM, AT_FDCWD, file.c_str()) != 0) {
            ::close(notify_);
            notify_ = -1;
            return;
        }
        watcher_ = std::thread([this] { Watch(); });
    }
    ~PipeAfterFirstOpen() { Finish(); }
    bool Active() const { return notify_ >= 0; }

    // Ends the watch; true when a reader had to be let go from the pipe.
    bool Finish()
    {
        if (!watcher_.joinable()) return released_;
        done_ = true;
        watcher_.join();
        ::close(notify_);
        return released_;
    }
    bool Swapped() const { return swapped_; }

private:
    void Watch()
    {
        const auto start = std::chrono::steady_clock::now();
        while (!done_) {
            pollfd p{notify_, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0) {
                fanotify_event_metadata event {};
                if (::read(notify_, &event, sizeof event) == static_cast<ssize_t>(sizeof event) && event.fd >= 0) {
                    if (!swapped_) swapped_ = ::rename(pipe_.c_str(), file_.c_str()) == 0;
                    fanotify_response answer{event.fd, FAN_ALLOW};
                    (void)::write(notify_, &answer, sizeof answer);
                    ::close(event.fd);
                }
            }
            // A reader that opened the name again waits on the pipe: let it go.
            if (swapped_ && !released_ && std::chrono::steady_clock::now() - start > std::chrono::seconds(3)) {
                const int writer = ::open(file_.c_str(), O_WRONLY | O_NONBLOCK);
                if (writer >= 0) {
                    released_ = true;
                    ::close(writer);
                }
            }
        }
    }

    fs::path file_;
    fs::path pipe_;
    int notify_ = -1;
    std::thread watcher_;
    std::atomic<bool> done_{false};
    std::atomic<bool> swapped_{false};
    std::atomic<bool> released_{false};
};

TEST(RawDataOpenOnce, APipePutInTheFilesPlaceAfterTheOpenIsNeverRead)
{
    TempFolder temp;
    const fs::path folder = temp.path;
    for (const char* name : {"raw-controls.csv", "raw-controls.sav", "raw-controls.dta"}) {
        SCOPED_TRACE(name);
        const fs::path file = fs::path(folder) / name;
        const fs::path pipe = fs::path(folder) / "pipe";
        fs::copy_file(fs::path(HARROW_EXAMPLES_DIR) / name, file, fs::copy_options::overwrite_existing);
        ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
        PipeAfterFirstOpen swap(file, pipe);
        if (!swap.Active()) GTEST_SKIP() << "holding an open needs the administrator (fanotify)";
        RawDataTable table;
        std::string error;
        try {
            ReadRawDataFile(file.string(), table);
        } catch (const RawDataError& e) {
            error = e.what();
        }
        EXPECT_FALSE(swap.Finish()) << "the reader opened the name again and waited on the pipe";
        EXPECT_TRUE(swap.Swapped());
        EXPECT_EQ(error, "");
        EXPECT_EQ(table.rows, 30u);
        EXPECT_EQ(table.columns.size(), 4u);
        fs::remove(file);
    }
}

}  // namespace
