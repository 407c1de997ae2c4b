#pragma once

#include <string>

// The folder of files shipped with the library ("<library folder>/data"),
// without a trailing separator.
std::string SampleDataFolder();
