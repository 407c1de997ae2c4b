#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// A fresh folder under the system's temporary folder, removed afterwards, with
// the registry file and the documents folder pointed into it, so no test
// touches the user's own.
class ScratchFolder {
public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pigmora-test-XXXXXX").string();
    root_ = mkdtemp(pattern.data()) ? pattern : std::string();
    setenv("HASH_REGISTRY_FILE", RegistryPath().c_str(), 1);
    setenv("HASH_DOCUMENTS_DIR", DocumentsPath().c_str(), 1);
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
