#pragma once
// Where a save may write, decided once for every writer (text, CSV, JSON,
// figures, PDF, the worksheet file), both before the work starts and again
// when the file is written.
#include <string>

namespace platform {

// The regular file a save to path writes: path itself, the file a link at
// path leads to, or empty when nothing has that name yet (a new file). Throws
// FileWriteError ("Cannot save the file \"<path>\".\r<reason>") when the save
// must not or cannot happen:
//  - the name is a folder, named pipe, device or socket;
//  - a link in the name is followed only where the link's owner is the user
//    writing or the folder holding the link is not a shared sticky folder
//    (writable by others, mode 1777), or the folder's owner made the link:
//    a link planted in a shared folder cannot redirect the save;
//  - a final link leads to anything but an existing regular file of the user;
//  - the file exists and may not be written, or its folder is missing or
//    may not be written (a new file is made there first).
std::string CheckWriteTarget(const std::string& path);

}  // namespace platform
