#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

// A fresh folder under the system's temporary folder, removed afterwards. The
// documents folder and the registry file point into it, never at the user's.
class TempFolder {
public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "plugin-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) ADD_FAILURE() << "cannot make a temporary folder";
    path_ = pattern;
    setenv("HASH_DOCUMENTS_DIR", path_.c_str(), 1);
    setenv("HASH_REGISTRY_FILE", (path_ / "registry.ini").c_str(), 1);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  std::string Write(const std::string& name, const std::string& text) const {
    std::ofstream(path_ / name, std::ios::binary) << text;
    return File(name);
  }

private:
  std::filesystem::path path_;
};
