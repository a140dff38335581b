#pragma once
// The Qt side of where the previous-data file lives: the program's folder
// and the user's data folder as the toolkit knows them.
#include <string>

#include "analysis/worksheet/data_file_location.h"

namespace platform {

// The user's data folder for the program (the toolkit's application data
// location, e.g. ~/.local/share/Harrow); made only when a file is saved.
std::string UserDataFolder();

// The folder of the previous-data file for this run: the program's own
// folder when usable says so, otherwise UserDataFolder().
std::string PreviousDataFolder(const FolderProbe& usable = ProgramFolderUsable);

}  // namespace platform
