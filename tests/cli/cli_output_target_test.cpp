// Where harrow-cli --output may write: never over one of its inputs, never
// through a link another user planted in a shared folder, and every target
// that cannot be written refused before the series runs (exit 2, nothing
// written, the files as they were).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "cli_process.h"

namespace {

namespace fs = std::filesystem;

TEST(CliOutputTarget, RefusedBeforeTheSeriesRuns)
{
    TempFolder folder;
    const fs::path f = folder.Path();
    const std::string worksheetText = ReadFile(ExamplePath("worked-example.txt"));
    folder.Write("ws.txt", worksheetText);
    const std::string casesText = "case,Task,Educ\nA,30,8\n";
    folder.Write("cases.csv", casesText);
    fs::copy_file(ExamplePath("raw-controls.csv"), f / "controls.csv");
    fs::copy_file(ExamplePath("raw-controls-cases.csv"), f / "raw-cases.csv");
    fs::create_hard_link(f / "cases.csv", f / "same-cases.csv");
    ASSERT_EQ(::mkfifo((f / "pipe").c_str(), 0600), 0);
    fs::create_directory(f / "sub");
    fs::create_directory(f / "shared");
    ASSERT_EQ(::chmod((f / "shared").c_str(), 01777), 0);
    folder.Write("mine.csv", "my own results");

    const std::vector<std::string> worksheetSeries{"--cases", "cases.csv", "ws.txt", "--output"};
    const std::vector<std::string> rawSeries{"--controls", "controls.csv", "--task",   "memory",
                                             "--covariates", "age,education", "--cases", "raw-cases.csv",
                                             "--output"};
    struct Case {
        std::vector<std::string> arguments;  // the output's name last
        std::string err;
    };
    std::vector<Case> cases{
        {worksheetSeries, "Error: Cannot write \"./ws.txt\": it is the worksheet file, which is only read.\n"},
        {worksheetSeries, "Error: Cannot write \"same-cases.csv\": it is the cases file, which is only read.\n"},
        {rawSeries, "Error: Cannot write \"sub/../controls.csv\": it is the raw data file, which is only read.\n"},
        {rawSeries, "Error: Cannot write \"raw-cases.csv\": it is the cases file, which is only read.\n"},
        {worksheetSeries, "Error: Cannot save the file \"pipe\".\nIt is a named pipe (FIFO), not a regular file.\n"},
        {worksheetSeries, "Error: Cannot save the file \"sub\".\nIt is a directory, not a regular file.\n"},
    };
    const char* names[] = {"./ws.txt", "same-cases.csv", "sub/../controls.csv", "raw-cases.csv", "pipe", "sub"};
    for (std::size_t i = 0; i < cases.size(); ++i) cases[i].arguments.push_back(names[i]);
    if (::geteuid() == 0) {
        // Another user's link in the shared folder to the user's own file.
        fs::create_symlink(f / "mine.csv", f / "shared" / "results.csv");
        ASSERT_EQ(::lchown((f / "shared" / "results.csv").c_str(), 65534, static_cast<gid_t>(-1)), 0);
        Case planted{worksheetSeries, "Error: Cannot save the file \"shared/results.csv\".\nIt is a link to \"" +
                                          (f / "mine.csv").string() +
                                          "\" made by another user in a shared folder; Harrow does not follow it.\n"};
        planted.arguments.push_back("shared/results.csv");
        cases.push_back(planted);
    } else {
        // A folder the user may not write (the administrator may write any).
        fs::create_directory(f / "locked");
        ASSERT_EQ(::chmod((f / "locked").c_str(), 0500), 0);
        Case locked{worksheetSeries, "Error: Cannot save the file \"locked/results.csv\".\nPermission denied\n"};
        locked.arguments.push_back("locked/results.csv");
        cases.push_back(locked);
    }

    InFolder here(folder.Path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.back());
        const CliRun run = RunCli(c.arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(ReadFile(f / "ws.txt"), worksheetText);
        EXPECT_EQ(ReadFile(f / "cases.csv"), casesText);
        EXPECT_EQ(ReadFile(f / "controls.csv"), ReadFile(ExamplePath("raw-controls.csv")));
        EXPECT_EQ(ReadFile(f / "raw-cases.csv"), ReadFile(ExamplePath("raw-controls-cases.csv")));
        EXPECT_EQ(ReadFile(f / "mine.csv"), "my own results");
        EXPECT_TRUE(fs::is_fifo(f / "pipe"));
        EXPECT_TRUE(fs::is_empty(f / "sub"));
    }
    if (::geteuid() != 0) ::chmod((f / "locked").c_str(), 0700);
}

}  // namespace
