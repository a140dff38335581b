#include "analysis/files/text_file.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace platform {
namespace {

namespace fs = std::filesystem;

class TextFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/harrow_text_file_XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override { fs::remove_all(dir); }

    static std::string Read(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void Put(const fs::path& p, const std::string& bytes)
    {
        std::ofstream(p, std::ios::binary) << bytes;
    }
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir;
};

TEST_F(TextFileTest, WritesExactlyTheBytes)
{
    const std::string bytes = std::string("line 1\r\n\r\ncaf\xE9 \t end\r\n", 23);
    WriteWholeFile((dir / "out").string(), bytes);
    EXPECT_EQ(Read(dir / "out"), bytes);
    EXPECT_EQ(Entries(), std::vector<std::string>{"out"});
}

TEST_F(TextFileTest, EmptyTextGivesAnEmptyFile)
{
    Put(dir / "a.txt", "old contents");
    WriteWholeFile((dir / "a.txt").string(), "");
    EXPECT_TRUE(fs::exists(dir / "a.txt"));
    EXPECT_EQ(fs::file_size(dir / "a.txt"), 0u);
}

TEST_F(TextFileTest, ReplacingKeepsTheFilesPermissions)
{
    Put(dir / "a.txt", "old");
    ::chmod((dir / "a.txt").c_str(), 0640);
    WriteWholeFile((dir / "a.txt").string(), "new");
    EXPECT_EQ(Read(dir / "a.txt"), "new");
    struct stat st {};
    ASSERT_EQ(::stat((dir / "a.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(TextFileTest, WritesThroughALinkToItsTarget)
{
    Put(dir / "target.txt", "old");
    fs::create_symlink(dir / "target.txt", dir / "link.txt");
    WriteWholeFile((dir / "link.txt").string(), "new");
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_EQ(Read(dir / "target.txt"), "new");
}

// Nothing but a regular file is written: a pipe with no reader would block
// the save for ever, a device or folder is not a file to replace. Each is
// refused with what it is and left as it was.
TEST_F(TextFileTest, APipeDeviceOrFolderIsRefusedAndLeftAlone)
{
    const fs::path fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directory(dir / "sub");
    const struct {
        std::string path;
        std::string reason;
    } cases[] = {
        {fifo.string(), "It is a named pipe (FIFO), not a regular file."},
        {"/dev/null", "It is a device, not a regular file."},
        {(dir / "sub").string(), "It is a directory, not a regular file."},
    };
    for (const auto& c : cases) {
        try {
            WriteWholeFile(c.path, "abc\r\n");
            ADD_FAILURE() << c.path << ": no error";
        } catch (const FileWriteError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot save the file \"" + c.path + "\".\r" + c.reason);
        }
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_directory(dir / "sub"));
    EXPECT_TRUE(fs::is_empty(dir / "sub"));
    EXPECT_EQ(Entries(), (std::vector<std::string>{"pipe", "sub"}));  // no temporary file left
}

// A link is written through only to a regular file of the user running the
// program; a link to anything else is refused and its target left alone.
TEST_F(TextFileTest, ALinkIsWrittenThroughOnlyToTheUsersOwnRegularFile)
{
    Put(dir / "others.txt", "not yours");
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
    fs::create_symlink(dir / "others.txt", dir / "to-others");
    fs::create_symlink(dir / "pipe", dir / "to-pipe");
    fs::create_symlink(dir / "sub", dir / "to-sub");
    fs::create_symlink(dir / "nowhere.txt", dir / "to-nowhere");
    const struct {
        const char* link;
        std::string reason;
    } cases[] = {
        {"to-others", "It is a link to \"" + others + "\", which belongs to another user."},
        {"to-pipe", "It is a link to \"" + (dir / "pipe").string() + "\", which is a named pipe (FIFO), not a regular file."},
        {"to-sub", "It is a link to \"" + (dir / "sub").string() + "\", which is a directory, not a regular file."},
        {"to-nowhere", "It is a link to \"" + (dir / "nowhere.txt").string() + "\", which does not exist."},
    };
    for (const auto& c : cases) {
        const std::string path = (dir / c.link).string();
        try {
            WriteWholeFile(path, "worksheet");
            ADD_FAILURE() << c.link << ": no error";
        } catch (const FileWriteError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot save the file \"" + path + "\".\r" + c.reason);
        }
        EXPECT_TRUE(fs::is_symlink(path)) << c.link;
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
    Put(dir / "mine" / "own.csv", "own data");
    auto link = [](const fs::path& to, const fs::path& at, uid_t owner) {
        fs::create_symlink(to, at);
        ASSERT_EQ(::lchown(at.c_str(), owner, static_cast<gid_t>(-1)), 0);
    };
    link(dir / "mine" / "own.csv", shared / "results.csv", Other);
    link(dir / "mine", shared / "folder", Other);
    link(dir / "mine" / "own.csv", shared / "my-link.csv", ::geteuid());
    link(dir / "mine" / "own.csv", privateFolder / "results.csv", Other);
    const std::string own = (dir / "mine" / "own.csv").string();
    const struct {
        fs::path path;
        bool followed;
        std::string shownLink;  // what the refused link says it leads to
    } cases[] = {
        {shared / "results.csv", false, own},
        {shared / "folder" / "own.csv", false, (dir / "mine").string()},
        {shared / "my-link.csv", true, ""},
        {privateFolder / "results.csv", true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        Put(own, "own data");
        try {
            WriteWholeFile(c.path.string(), "written");
            EXPECT_TRUE(c.followed) << "written through";
            EXPECT_EQ(Read(own), "written");
        } catch (const FileWriteError& e) {
            EXPECT_FALSE(c.followed) << e.what();
            EXPECT_EQ(std::string(e.what()), "Cannot save the file \"" + c.path.string() + "\".\rIt is a link to \"" +
                                                 c.shownLink +
                                                 "\" made by another user in a shared folder; Harrow does not "
                                                 "follow it.");
            EXPECT_EQ(Read(own), "own data");
        }
        EXPECT_TRUE(fs::is_symlink(shared / "results.csv"));
    }
}

// Replacing keeps the old file's owner and group (where the user may give
// them) and works for names of the longest length a folder allows.
TEST_F(TextFileTest, ReplacingKeepsTheOwnerAndTakesTheLongestNames)
{
    const std::string longName(255, 'n');
    Put(dir / longName, "old");
    WriteWholeFile((dir / longName).string(), "new");
    EXPECT_EQ(Read(dir / longName), "new");
    EXPECT_EQ(Entries(), std::vector<std::string>{longName});

    if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs the administrator";
    Put(dir / "theirs.txt", "old");
    ASSERT_EQ(::chown((dir / "theirs.txt").c_str(), 65534, 65534), 0);
    ::chmod((dir / "theirs.txt").c_str(), 0604);
    WriteWholeFile((dir / "theirs.txt").string(), "new");
    struct stat st {};
    ASSERT_EQ(::stat((dir / "theirs.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    EXPECT_EQ(Read(dir / "theirs.txt"), "new");
}

TEST_F(TextFileTest, ReadsOnlyARegularFileAndNeverWaitsOnAPipe)
{
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);  // no writer: a plain open would wait for ever
    fs::create_symlink(dir / "pipe", dir / "to-pipe");
    fs::create_directory(dir / "sub");
    Put(dir / "a.txt", "0123456789");
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
        {(dir / "pipe").string(), 100, FileReadResult::NotRegular, "", "It is a named pipe (FIFO), not a regular file.", false},
        {(dir / "to-pipe").string(), 100, FileReadResult::NotRegular, "", "It is a named pipe (FIFO), not a regular file.", false},
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

TEST_F(TextFileTest, MissingFolderGivesTheSystemsReasonAndNoFile)
{
    const std::string path = (dir / "no such folder" / "a.txt").string();
    try {
        WriteWholeFile(path, "text");
        FAIL() << "no error";
    } catch (const FileWriteError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot save the file \"" + path + "\".\rNo such file or directory");
    }
    EXPECT_TRUE(Entries().empty());
}

TEST_F(TextFileTest, AFolderCannotBeReplaced)
{
    fs::create_directory(dir / "sub");
    EXPECT_THROW(WriteWholeFile((dir / "sub").string(), "text"), FileWriteError);
    EXPECT_TRUE(fs::is_directory(dir / "sub"));
}

TEST_F(TextFileTest, FailureWhileWritingLeavesTheOldFileIntactAndNoTemporaryFile)
{
    Put(dir / "a.txt", "old contents\r\n");
    // A file size limit makes the write fail part way, as a full disk would.
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string message;
    try {
        WriteWholeFile((dir / "a.txt").string(), std::string(5000, 'x'));
    } catch (const FileWriteError& e) {
        message = e.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_NE(message.find("File too large"), std::string::npos) << message;
    EXPECT_EQ(Read(dir / "a.txt"), "old contents\r\n");
    EXPECT_EQ(Entries(), std::vector<std::string>{"a.txt"});
}

TEST(LfToCrLf, EveryLineFeedGetsItsCarriageReturn)
{
    EXPECT_EQ(LfToCrLf(""), "");
    EXPECT_EQ(LfToCrLf("a"), "a");
    EXPECT_EQ(LfToCrLf("a\nb\n"), "a\r\nb\r\n");
    EXPECT_EQ(LfToCrLf("\n\n"), "\r\n\r\n");
    EXPECT_EQ(LfToCrLf("a\r\nb"), "a\r\nb");
    EXPECT_EQ(LfToCrLf("a\rb"), "a\rb");
}

}  // namespace
}  // namespace platform
