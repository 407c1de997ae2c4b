#include "SampleData.h"

#include <filesystem>

#include <common/OsModules.h>

// Where the installed data lies from the installed library's folder (the install rules say).
#ifndef PIGMORA_INSTALLED_DATA_FROM_LIBRARY
#define PIGMORA_INSTALLED_DATA_FROM_LIBRARY "../../share/hashhost/data"
#endif

std::string SampleDataFolder() {
  static const int anchor = 0;
  const void* base = nullptr;
  std::string file;
  if (!os::ModuleOfAddress(&anchor, base, file) || file.empty()) return "data";
  std::error_code error;
  std::filesystem::path library = std::filesystem::canonical(file, error);
  if (error) library = file;
  // Beside the library in a build tree; installed, the library is in lib/TRIPLET/hashhost/ and
  // the data in share/hashhost/data/, lib/ and share/ being siblings.
  const std::filesystem::path besideLibrary = library.parent_path() / "data";
  const std::filesystem::path installed =
      (library.parent_path() / PIGMORA_INSTALLED_DATA_FROM_LIBRARY).lexically_normal();
  if (!std::filesystem::is_directory(besideLibrary, error) && std::filesystem::is_directory(installed, error))
    return installed.string();
  return besideLibrary.string();
}
