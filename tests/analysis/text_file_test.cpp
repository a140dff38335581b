#include "analysis/text_file.h"

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

TEST_F(TextFileTest, APipeIsWrittenInPlaceNotReplaced)
{
    const fs::path fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    WriteWholeFile(fifo.string(), "abc\r\n");
    char buffer[16] = {};
    const ssize_t n = ::read(reader, buffer, sizeof buffer);
    ::close(reader);
    EXPECT_EQ(std::string(buffer, n > 0 ? n : 0), "abc\r\n");
    EXPECT_TRUE(fs::is_fifo(fifo));
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
