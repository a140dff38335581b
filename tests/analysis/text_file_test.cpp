#include "analysis/files/text_file.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/temp_folder.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// The message of the FileWriteError the save raises ("" when it is written).
std::string SaveError(const fs::path& path, const std::string& bytes)
{
    try {
        WriteWholeFile(path.string(), bytes);
    } catch (const FileWriteError& e) {
        return e.what();
    }
    return "";
}

std::string Refusal(const fs::path& path, const std::string& reason)
{
    return "Cannot save the file \"" + path.string() + "\".\r" + reason;
}

class TextFileTest : public ::testing::Test {
protected:
    static std::string Read(const fs::path& p) { return TempFolder::Read(p); }
    static mode_t Mode(const fs::path& p)
    {
        struct stat st {};
        EXPECT_EQ(::stat(p.c_str(), &st), 0);
        return st.st_mode & 07777;
    }
    std::vector<std::string> Entries() const { return temp.Entries(); }

    TempFolder temp;
    const fs::path dir = temp.path;
};

// Exactly the bytes, over an old file (keeping its permissions), through a
// link to the user's own file, and under the longest name a folder allows;
// no temporary file is left beside it.
TEST_F(TextFileTest, WritesExactlyTheBytesAndKeepsTheOldFilesPermissions)
{
    const std::string bytes = std::string("line 1\r\n\r\ncaf\xE9 \t end\r\n", 23);
    EXPECT_EQ(SaveError(dir / "out", bytes), "");
    EXPECT_EQ(Read(dir / "out"), bytes);
    EXPECT_EQ(SaveError(dir / "out", ""), "");
    EXPECT_TRUE(fs::exists(dir / "out"));
    EXPECT_EQ(fs::file_size(dir / "out"), 0u);

    ::chmod((dir / "out").c_str(), 0640);
    EXPECT_EQ(SaveError(dir / "out", "new"), "");
    EXPECT_EQ(Read(dir / "out"), "new");
    EXPECT_EQ(Mode(dir / "out"), 0640u);

    fs::create_symlink(dir / "out", dir / "link");
    EXPECT_EQ(SaveError(dir / "link", "through"), "");
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(Read(dir / "out"), "through");

    const std::string longName(255, 'n');
    temp.Write(longName, "old");
    EXPECT_EQ(SaveError(dir / longName, "new"), "");
    EXPECT_EQ(Read(dir / longName), "new");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"link", longName, "out"}));
}

// Nothing but a regular file is written: a pipe with no reader would block
// the save for ever, a device or folder is not a file to replace. Each is
// refused with what it is and left as it was, as is a missing folder.
TEST_F(TextFileTest, APipeDeviceFolderOrMissingFolderIsRefusedAndLeftAlone)
{
    const fs::path fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directory(dir / "sub");
    const std::pair<fs::path, std::string> cases[] = {
        {fifo, "It is a named pipe (FIFO), not a regular file."},
        {"/dev/null", "It is a device, not a regular file."},
        {dir / "sub", "It is a directory, not a regular file."},
        {dir / "no such folder" / "a.txt", "No such file or directory"},
    };
    for (const auto& [path, reason] : cases) EXPECT_EQ(SaveError(path, "abc\r\n"), Refusal(path, reason));
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_empty(dir / "sub"));
    EXPECT_EQ(Entries(), (std::vector<std::string>{"pipe", "sub"}));  // no temporary file left
}

// A link is written through only to a regular file of the user running the
// program; a link to anything else is refused and its target left alone.
TEST_F(TextFileTest, ALinkIsWrittenThroughOnlyToTheUsersOwnRegularFile)
{
    temp.Write("others.txt", "not yours");
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown((dir / "others.txt").c_str(), 65534, 65534), 0);  // nobody's
    } else {
        // Someone else's file that exists on every system.
        fs::remove(dir / "others.txt");
        struct stat st {};
        if (::stat("/etc/passwd", &st) != 0 || st.st_uid == ::geteuid())
            GTEST_SKIP() << "no file of another user to link to";
        fs::create_symlink("/etc/passwd", dir / "others.txt");
    }
    const std::string others = fs::canonical(dir / "others.txt").string();
    const std::string othersBefore = Read(others);
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    fs::create_directory(dir / "sub");
    const std::pair<const char*, std::string> cases[] = {
        {"others.txt", "\"" + others + "\", which belongs to another user."},
        {"pipe", "\"" + (dir / "pipe").string() + "\", which is a named pipe (FIFO), not a regular file."},
        {"sub", "\"" + (dir / "sub").string() + "\", which is a directory, not a regular file."},
        {"nowhere.txt", "\"" + (dir / "nowhere.txt").string() + "\", which does not exist."},
    };
    for (const auto& [target, reason] : cases) {
        const fs::path link = dir / (std::string("to-") + target);
        fs::create_symlink(dir / target, link);
        EXPECT_EQ(SaveError(link, "worksheet"), Refusal(link, "It is a link to " + reason));
        EXPECT_TRUE(fs::is_symlink(link)) << target;
    }
    EXPECT_EQ(Read(others), othersBefore);
    EXPECT_FALSE(fs::exists(dir / "nowhere.txt"));
    EXPECT_TRUE(fs::is_empty(dir / "sub"));
}

// A link another user made in a shared sticky folder (mode 1777) is not
// followed, whether it names the file or a folder on the way to it; a link
// of the user's own, or one in a folder only its owner may change, is. Every
// save goes through here (results, figures, PDF, the worksheet file).
TEST_F(TextFileTest, ALinkPlantedInASharedFolderIsNotFollowed)
{
    if (::geteuid() != 0) GTEST_SKIP() << "making another user's link needs the administrator";
    constexpr uid_t Other = 65534;  // nobody
    const fs::path shared = dir / "shared";
    const fs::path privateFolder = dir / "private";
    fs::create_directory(shared);
    fs::create_directory(privateFolder);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    fs::create_directory(dir / "mine");
    const fs::path own = dir / "mine" / "own.csv";
    auto link = [](const fs::path& to, const fs::path& at, uid_t owner) {
        fs::create_symlink(to, at);
        ASSERT_EQ(::lchown(at.c_str(), owner, static_cast<gid_t>(-1)), 0);
    };
    link(own, shared / "results.csv", Other);
    link(dir / "mine", shared / "folder", Other);
    link(own, shared / "my-link.csv", ::geteuid());
    link(own, privateFolder / "results.csv", Other);
    const struct {
        fs::path path;
        std::string shownLink;  // what the refused link says it leads to; "" when followed
    } cases[] = {
        {shared / "results.csv", own.string()},
        {shared / "folder" / "own.csv", (dir / "mine").string()},
        {shared / "my-link.csv", ""},
        {privateFolder / "results.csv", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        temp.Write("mine/own.csv", "own data");
        const bool followed = c.shownLink.empty();
        EXPECT_EQ(SaveError(c.path, "written"),
                  followed ? "" : Refusal(c.path, "It is a link to \"" + c.shownLink +
                                                      "\" made by another user in a shared folder; Harrow does not "
                                                      "follow it."));
        EXPECT_EQ(Read(own), followed ? "written" : "own data");
        EXPECT_TRUE(fs::is_symlink(shared / "results.csv"));
    }
}

// Replacing keeps the old file's owner and group where the user may give them.
TEST_F(TextFileTest, ReplacingKeepsTheOwner)
{
    if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs the administrator";
    temp.Write("theirs.txt", "old");
    ASSERT_EQ(::chown((dir / "theirs.txt").c_str(), 65534, 65534), 0);
    ::chmod((dir / "theirs.txt").c_str(), 0604);
    EXPECT_EQ(SaveError(dir / "theirs.txt", "new"), "");
    struct stat st {};
    ASSERT_EQ(::stat((dir / "theirs.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(Mode(dir / "theirs.txt"), 0604u);
    EXPECT_EQ(Read(dir / "theirs.txt"), "new");
}

TEST_F(TextFileTest, ReadsOnlyARegularFileAndNeverWaitsOnAPipe)
{
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);  // no writer: a plain open would wait for ever
    fs::create_symlink(dir / "pipe", dir / "to-pipe");
    fs::create_directory(dir / "sub");
    temp.Write("a.txt", "0123456789");
    const std::string fifo = "It is a named pipe (FIFO), not a regular file.";
    const struct {
        std::string path;
        std::size_t limit;
        FileReadResult::Status status;
        std::string bytes;
        std::string reason;
        bool tooLarge;
    } cases[] = {
        {(dir / "a.txt").string(), 100, FileReadResult::Ok, "0123456789", "", false},
        {(dir / "a.txt").string(), 4, FileReadResult::Ok, "0123", "", true},
        {(dir / "pipe").string(), 100, FileReadResult::NotRegular, "", fifo, false},
        {(dir / "to-pipe").string(), 100, FileReadResult::NotRegular, "", fifo, false},
        {(dir / "sub").string(), 100, FileReadResult::NotRegular, "", "It is a directory, not a regular file.", false},
        {"/dev/zero", 100, FileReadResult::NotRegular, "", "It is a device, not a regular file.", false},
        {(dir / "none").string(), 100, FileReadResult::Missing, "", "No such file or directory", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const FileReadResult r = ReadRegularFile(c.path, c.limit);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.bytes, c.bytes);
        EXPECT_EQ(r.reason, c.reason);
        EXPECT_EQ(r.tooLarge, c.tooLarge);
    }
}

TEST_F(TextFileTest, FailureWhileWritingLeavesTheOldFileIntactAndNoTemporaryFile)
{
    temp.Write("a.txt", "old contents\r\n");
    // A file size limit makes the write fail part way, as a full disk would.
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string message = SaveError(dir / "a.txt", std::string(5000, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(message.rfind("Cannot save the file \"" + (dir / "a.txt").string() + "\".\r", 0), 0u) << message;
    EXPECT_NE(message.find("File too large"), std::string::npos) << message;
    EXPECT_EQ(Read(dir / "a.txt"), "old contents\r\n");
    EXPECT_EQ(Entries(), std::vector<std::string>{"a.txt"});
}

}  // namespace
}  // namespace platform
