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
  return (library.parent_path() / "data").string();
}
