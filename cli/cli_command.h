#pragma once
// One run of harrow-cli after its options are parsed: read the worksheet
// file (and the notes), check, analyse, and print the report or the JSON
// object. Messages go through the message channel in use (standard error
// in the program); nothing reaches standard output unless the run succeeds.
#include <cstdio>
#include <string>

#include "cli/worksheet_analysis.h"

struct CliRequest {
    std::string worksheetPath;
    int credibleLimit = TwoSided;
    std::string notesPath;  // empty: no notes
    bool json = false;
};

// Reads a notes file into lines (CR LF, LF or CR line ends; UTF-8, or
// Windows-1252 when it is not UTF-8). Shows an error and returns false when
// it cannot be read, is not a regular file or is unreasonably large.
bool ReadNotesFile(const std::string& path, std::vector<std::string>& lines);

// Never throws; returns one of CliExitCode.
int RunHarrowCli(const CliRequest& request, std::FILE* out);
