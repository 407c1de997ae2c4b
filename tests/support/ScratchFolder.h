#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "TestEnvironment.h"

// A fresh folder under the system's temporary folder, removed afterwards, with
// the registry file and the documents folder pointed into it, so no test
// touches the user's own.
class ScratchFolder {
public:
  ScratchFolder() {
    // A name no other test has taken: creating the folder is what claims it.
    std::random_device random;
    for (int attempt = 0; attempt < 100 && root_.empty(); ++attempt) {
      const std::filesystem::path candidate =
          std::filesystem::temp_directory_path() / ("pigmora-test-" + std::to_string(random()));
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error)) root_ = candidate;
    }
    SetEnvironment("HASH_REGISTRY_FILE", RegistryPath());
    SetEnvironment("HASH_DOCUMENTS_DIR", DocumentsPath());
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Root() const { return root_; }
  std::filesystem::path RegistryPath() const { return root_ / "config" / "registry.ini"; }
  std::filesystem::path DocumentsPath() const { return root_ / "Documents"; }
  std::filesystem::path ExchangePath() const { return DocumentsPath() / "PigmoraV3" / "Exchange"; }
  // A path inside the folder, as text.
  std::string Path(const std::string& name) const { return (root_ / name).string(); }
  // What makes "/t/x.tga" a full path on this system: the folder's drive ("C:") on Windows,
  // which roots such a path on the drive of the folder it is read in; nothing on POSIX.
  std::string RootName() const { return root_.root_name().string(); }
  // True when the file system here takes names differing only in letter case for one file
  // (Windows; Wine too), asked of the file system itself.
  bool NamesFoldCase() const {
    WriteFile(root_ / "case-probe", "");
    return std::filesystem::exists(root_ / "CASE-PROBE");
  }
  // Writes a file inside the folder and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    WriteFile(root_ / name, bytes);
    return Path(name);
  }

  static void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }
  // A one-pixel Targa image, the least a receive takes as an image.
  static void WriteImage(const std::filesystem::path& path) {
    const unsigned char tga[] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 24, 0, 0x40, 0x80, 0xc0};
    WriteFile(path, std::string(reinterpret_cast<const char*>(tga), sizeof tga));
  }
  static std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
  }

private:
  std::filesystem::path root_;
};
