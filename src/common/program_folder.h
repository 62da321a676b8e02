#pragma once

#include <functional>
#include <string>

namespace vornel {

// Where the program keeps system.dat, history.txt and its single-instance lock.
//
// A copy unpacked into a folder of its own (a USB stick, a folder in the user's home) keeps
// its files beside itself, as it always has; an installed copy cannot write there and keeps
// them in the user's data folder instead. `writable` tells whether the user may create files
// in a folder. `xdgDataHome` and `home` are the environment's values (null when unset).
// Returns an empty text when the executable's folder is read-only and no data folder is known.
std::string chooseProgramFolder(const std::string& executableFolder,
                                const std::function<bool(const std::string&)>& writable,
                                const char* xdgDataHome, const char* home);

// Whether the calling user may create files in `folder`. access() asks the kernel, so a
// read-only mount refuses even the superuser.
bool folderWritable(const std::string& folder);

// Creates `folder` and its missing parents (the new ones readable by the user only). Returns
// an empty text, or what went wrong.
std::string makeProgramFolder(const std::string& folder);

// The help file's path: beside the executable (a portable copy, the build tree), else in the
// data folder of the installation the executable belongs to (`../share/vornelnet`), else in
// `installedDataFolder`. When it is nowhere, the path beside the executable, so the message
// about the missing file names the place a user would look first.
std::string findHelpFile(const std::string& executableFolder,
                         const std::string& installedDataFolder, const std::string& name);

}  // namespace vornel
