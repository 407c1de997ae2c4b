#include "KnownPaths.h"

#include <cstdlib>
#include <cstring>

#include "FileIO/String.h"
#include "common/EntryGuard.h"
#include "common/OsFiles.h"
#include "common/OsModules.h"

namespace fileio {

namespace {

std::string ExecutablePath() { return os::ExecutablePath(); }

}  // namespace

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string WithoutTrailingSeparator(std::string path) {
  while (!path.empty() && std::strchr(os::kPathSeparators, path.back())) path.pop_back();
  return path;
}

}  // namespace fileio

// These run inside the host's calls; a failure yields an empty path.
String String::GetMyDocumentsPath() {
  return GuardedEntry(String(), [] {
    using namespace fileio;
    std::string documents = Environment("HASH_DOCUMENTS_DIR");
    // Left as given where the system cannot tell where it lies (a path longer than Windows'
    // ANSI calls take): the user's folder is never swapped for another one.
    if (!documents.empty() && !os::IsAbsolutePath(documents)) {
      const std::string absolute = FromCurrentFolder(documents);
      if (!absolute.empty()) documents = absolute;
    }
    if (documents.empty()) documents = SystemDocumentsFolder();
    return String(WithoutTrailingSeparator(documents).c_str());
  });
}

String String::GetAppPath() {
  return GuardedEntry(String(), [] {
    std::string path = fileio::ExecutablePath();
    std::size_t slash = path.find_last_of(os::kPathSeparators);
    if (slash == std::string::npos) return String("");
    return String(path.substr(0, slash).c_str());
  });
}

String String::GetAppName() {
  return GuardedEntry(String(), [] {
    std::string path = fileio::ExecutablePath();
    return String(path.substr(path.find_last_of(os::kPathSeparators) + 1).c_str());
  });
}
