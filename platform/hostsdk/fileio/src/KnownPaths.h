#pragma once

#include <string>

// Folders the library derives from the environment. Internal to FileIO.
namespace fileio {

// $HOME, else the password database's home folder; empty when neither is known.
std::string HomeFolder();
// $XDG_CONFIG_HOME when set to an absolute path, else $HOME/.config.
std::string ConfigFolder();
// Drops trailing '/' so callers can append "/name" safely ("/" becomes "").
std::string WithoutTrailingSeparator(std::string path);

}  // namespace fileio
