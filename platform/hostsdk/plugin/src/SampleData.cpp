#include "SampleData.h"

#include <dlfcn.h>

#include <filesystem>

std::string SampleDataFolder() {
  Dl_info info{};
  static const int anchor = 0;
  if (dladdr(&anchor, &info) == 0 || !info.dli_fname) return "data";
  std::error_code error;
  std::filesystem::path library = std::filesystem::canonical(info.dli_fname, error);
  if (error) library = info.dli_fname;
  // Beside the library in a build tree; installed, the library is in lib/hashhost/ and the data
  // in share/hashhost/data/, lib/ and share/ being siblings.
  const std::filesystem::path besideLibrary = library.parent_path() / "data";
  const std::filesystem::path installed =
      library.parent_path().parent_path().parent_path() / "share" / "hashhost" / "data";
  if (!std::filesystem::is_directory(besideLibrary, error) && std::filesystem::is_directory(installed, error))
    return installed.string();
  return besideLibrary.string();
}
