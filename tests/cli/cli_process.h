#pragma once
// Runs harrow-cli as a child process and collects what it printed.
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

struct CliRun {
    int exitCode = -1;  // -1 when the process did not exit normally
    std::string out;
    std::string err;
};

CliRun RunCli(const std::vector<std::string>& arguments);

std::string ExamplePath(const std::string& name);

// The file's bytes ("" when it cannot be read).
std::string ReadFile(const std::string& path);

// The text's lines, without their line ends (LF or CR LF).
std::vector<std::string> Lines(const std::string& text);

// The test's process in the folder while a run takes relative names.
class InFolder {
public:
    explicit InFolder(const std::string& folder);
    ~InFolder();
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    std::string old_;
};

// Lines joined with CR LF, the data file's line end, after every line.
std::string CrLfLines(const std::vector<std::string>& lines);
