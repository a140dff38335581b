#pragma once
// Where the previous-data file lives. A copy of the program in a folder it may
// write (its build folder, an unpacked archive) keeps the file beside itself;
// an installed program, whose folder it may not write, keeps it in the user's
// data folder. Nothing is ever written into an installation folder.
#include <functional>
#include <string>

#include "analysis/worksheet/data_file.h"

// True when the folder exists and the program's effective user may create
// files in it. Asks the system only: writes nothing.
bool FolderWritable(const std::string& folder);

// True for the folders `cmake --install` and the Debian package put the
// program in (the same folder under another name counts too).
bool IsInstallationFolder(const std::string& folder);

// The program may keep its file beside itself: the folder is writable and not
// an installation folder (root may write there but must not).
bool ProgramFolderUsable(const std::string& folder);

using FolderProbe = std::function<bool(const std::string& folder)>;

// programFolder when usable(programFolder), otherwise userDataFolder.
std::string DataFileFolder(const std::string& programFolder, const std::string& userDataFolder,
                           const FolderProbe& usable = ProgramFolderUsable);

// Before a save into folder: when it is the user's data folder, makes it and
// any missing parents (only the user may enter them, as with the user's other
// data folders); nothing to do when it exists. The program's own folder is
// never made: it holds the program. FileError, naming the file to be saved
// (filePath) and the system's reason, when the folder cannot be made.
DataFileResult PrepareDataFolder(const std::string& folder, const std::string& userDataFolder,
                                 const std::string& filePath);
