#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <vector>

#include "KnownPaths.h"

// Where a Linux desktop keeps the user's folders: $HOME, the XDG settings.
namespace fileio {
namespace {

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

}  // namespace

std::string FromCurrentFolder(const std::string& relative) {
  std::vector<char> buffer(4096);
  while (!getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE || buffer.size() >= (1u << 20)) return "";
    buffer.resize(buffer.size() * 2);
  }
  return WithoutTrailingSeparator(buffer.data()) + "/" + relative;
}

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

std::string SystemDocumentsFolder() {
  std::string documents = XdgDocumentsFolder();
  return documents.empty() ? WithoutTrailingSeparator(HomeFolder()) + "/Documents" : documents;
}

}  // namespace fileio
