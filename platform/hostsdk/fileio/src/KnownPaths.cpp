#include "KnownPaths.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "FileIO/String.h"
#include "common/EntryGuard.h"

namespace fileio {

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The value of XDG_DOCUMENTS_DIR in user-dirs.dirs: a double-quoted path that
// is either absolute or starts with $HOME. Empty when absent or unusable.
std::string XdgDocumentsFolder() {
  std::ifstream file(ConfigFolder() + "/user-dirs.dirs");
  if (!file) return "";
  const std::string prefix = "XDG_DOCUMENTS_DIR=\"";
  std::string line;
  std::string found;
  while (std::getline(file, line)) {
    if (line.compare(0, prefix.size(), prefix) != 0) continue;
    std::size_t close = line.find('"', prefix.size());
    if (close == std::string::npos) continue;
    std::string value = line.substr(prefix.size(), close - prefix.size());
    if (value.compare(0, 5, "$HOME") == 0) value = HomeFolder() + value.substr(5);
    if (!value.empty() && value[0] == '/') found = value;  // the last setting wins, as in the shell
  }
  return found;
}

// Relative settings are taken from here, so callers always get an absolute path.
std::string CurrentFolder() {
  std::vector<char> buffer(4096);
  while (!getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE || buffer.size() >= (1u << 20)) return "";
    buffer.resize(buffer.size() * 2);
  }
  return WithoutTrailingSeparator(buffer.data());
}

// /proc/self/exe resolved; empty when it cannot be read.
std::string ExecutablePath() {
  std::vector<char> buffer(4096);
  for (;;) {
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return "";
    if (static_cast<std::size_t>(length) < buffer.size())
      return std::string(buffer.data(), static_cast<std::size_t>(length));
    if (buffer.size() >= (1u << 20)) return "";
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

std::string HomeFolder() {
  std::string home = Environment("HOME");
  if (!home.empty()) return home;
  if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return "";
}

std::string ConfigFolder() {
  std::string config = Environment("XDG_CONFIG_HOME");
  if (!config.empty() && config[0] == '/') return WithoutTrailingSeparator(config);
  return WithoutTrailingSeparator(HomeFolder()) + "/.config";
}

std::string WithoutTrailingSeparator(std::string path) {
  while (!path.empty() && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace fileio

// These run inside the host's calls; a failure yields an empty path.
String String::GetMyDocumentsPath() {
  return GuardedEntry(String(), [] {
    using namespace fileio;
    std::string documents = Environment("HASH_DOCUMENTS_DIR");
    if (!documents.empty() && documents[0] != '/') documents = CurrentFolder() + "/" + documents;
    if (documents.empty()) documents = XdgDocumentsFolder();
    if (documents.empty()) documents = WithoutTrailingSeparator(HomeFolder()) + "/Documents";
    return String(WithoutTrailingSeparator(documents).c_str());
  });
}

String String::GetAppPath() {
  return GuardedEntry(String(), [] {
    std::string path = fileio::ExecutablePath();
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return String("");
    return String(path.substr(0, slash).c_str());
  });
}

String String::GetAppName() {
  return GuardedEntry(String(), [] {
    std::string path = fileio::ExecutablePath();
    return String(path.substr(path.rfind('/') + 1).c_str());
  });
}
