#pragma once

#include <string>

// Folders the library derives from the environment and the system. Internal to FileIO.
// The system's side is KnownPathsPosix.cpp or KnownPathsWin32.cpp.
namespace fileio {

// The environment variable's value; empty when unset.
std::string Environment(const char* name);
// POSIX: $HOME, else the password database's home folder. Windows: %USERPROFILE%. Empty when unknown.
std::string HomeFolder();
// POSIX: $XDG_CONFIG_HOME when set to an absolute path, else $HOME/.config. Windows: %APPDATA%.
std::string ConfigFolder();
// The user's documents folder as the desktop names it (XDG's, or the shell's "My Documents").
std::string SystemDocumentsFolder();
// A path that is not absolute, taken as the system takes it from the working folder: POSIX
// puts the working folder before it; Windows roots "\\docs" on the working folder's drive and
// "D:docs" in that drive's working folder (GetFullPathName). Empty when it cannot be told.
std::string FromCurrentFolder(const std::string& relative);
// Drops trailing separators so callers can append one and a name safely ("/" becomes "").
std::string WithoutTrailingSeparator(std::string path);

}  // namespace fileio
