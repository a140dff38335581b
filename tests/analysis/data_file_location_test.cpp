// Where the previous-data file lives: the choice between the program's folder
// and the user's data folder, the probe that decides it (which writes
// nothing) and the folder made at the first save.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "analysis/worksheet/data_file_location.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

class DataFileLocation : public ::testing::Test {
protected:
    DataFileLocation() { chmod(folder.c_str(), 0755); }  // reachable by the unprivileged user below

    std::string MakeFolder(const std::string& name, mode_t mode) const
    {
        const std::string path = folder + "/" + name;
        EXPECT_EQ(mkdir(path.c_str(), 0700), 0);
        chmod(path.c_str(), mode);
        return path;
    }

    TempFolder temp;
    const std::string folder = temp.path.string();
};

TEST_F(DataFileLocation, TheProgramFolderOnlyWhenTheProbeAllowsIt)
{
    std::string asked;
    for (bool usable : {true, false}) {
        const std::string chosen = DataFileFolder("/opt/harrow", "/home/u/.local/share/Harrow", [&](const std::string& f) {
            asked = f;
            return usable;
        });
        EXPECT_EQ(asked, "/opt/harrow");
        EXPECT_EQ(chosen, usable ? "/opt/harrow" : "/home/u/.local/share/Harrow");
    }
}

TEST_F(DataFileLocation, TheProbeAnswersForTheEffectiveUserAndWritesNothing)
{
    const std::string open = MakeFolder("open", 0777);
    const std::string readOnly = MakeFolder("read-only", 0555);
    temp.Write("file", "x");
    for (const std::string& notAFolder : {std::string(), folder + "/missing", folder + "/file"})
        EXPECT_FALSE(FolderWritable(notAFolder)) << notAFolder;
    EXPECT_TRUE(FolderWritable(open));
    EXPECT_TRUE(ProgramFolderUsable(open));

    // As an ordinary user (root may write anywhere, so a child process takes
    // another effective user id when the tests run as root).
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && seteuid(65534) != 0) _exit(10);
        _exit((FolderWritable(open) ? 0 : 1) | (FolderWritable(readOnly) ? 2 : 0));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: open folder refused, 2: read-only folder allowed, 10: no other user";
    EXPECT_EQ(std::distance(fs::directory_iterator(readOnly), fs::directory_iterator()), 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(open), fs::directory_iterator()), 0);
}

TEST_F(DataFileLocation, AnInstallationFolderIsNeverUsedEvenWhenWritable)
{
    for (const char* installed : {"/usr/bin", "/usr/bin/", "/usr/bin/../bin"}) {
        EXPECT_TRUE(IsInstallationFolder(installed)) << installed;
        EXPECT_FALSE(ProgramFolderUsable(installed)) << installed;
        EXPECT_EQ(DataFileFolder(installed, "/home/u/.local/share/Harrow"), "/home/u/.local/share/Harrow");
    }
    EXPECT_FALSE(IsInstallationFolder(folder));
    EXPECT_FALSE(IsInstallationFolder("/usr"));
    EXPECT_EQ(DataFileFolder(folder, "/home/u/.local/share/Harrow"), folder);
}

TEST_F(DataFileLocation, OnlyTheUsersDataFolderIsMadeAtTheFirstSave)
{
    const std::string user = folder + "/home/.local/share/Harrow";
    const auto prepare = [&](const std::string& f) { return PrepareDataFolder(f, user, f + "/Harrow.txt"); };
    // The program's own folder is used as it is, never made.
    EXPECT_TRUE(prepare(folder + "/program").ok());
    EXPECT_FALSE(fs::exists(folder + "/program"));

    ASSERT_TRUE(prepare(user).ok());
    struct stat info {};
    ASSERT_EQ(stat(user.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_TRUE(prepare(user).ok());  // there already

    temp.Write("file", "x");
    const std::string readOnly = MakeFolder("read-only", 0555);
    struct Case {
        std::string folder;
        std::string reason;
    };
    std::vector<Case> refused = {{folder + "/file", "Not a directory"}, {folder + "/file/Harrow", "Not a directory"}};
    if (geteuid() != 0) refused.push_back({readOnly + "/Harrow", "Permission denied"});
    for (const Case& c : refused) {
        const DataFileResult r = PrepareDataFolder(c.folder, c.folder, c.folder + "/Harrow.txt");
        EXPECT_EQ(r.status, DataFileResult::FileError) << c.folder;
        EXPECT_EQ(r.message, "Cannot save the file \"" + c.folder + "/Harrow.txt\".\r" + c.reason);
    }
}

}  // namespace
