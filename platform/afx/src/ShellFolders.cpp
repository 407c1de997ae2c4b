#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "Win32Error.h"
#include "common/EntryGuard.h"
#include "shlobj.h"

namespace {

// A folder on the way that is missing or is a file makes the path not found.
int ErrorFor(int osError) {
  const DWORD code = afx::Win32ErrorFromErrno(osError);
  return static_cast<int>(code == ERROR_FILE_NOT_FOUND || code == ERROR_GEN_FAILURE ? ERROR_PATH_NOT_FOUND : code);
}

}  // namespace

extern "C" int WINAPI SHCreateDirectoryExA(HWND, LPCSTR pszPath, const void*) {
  return GuardedEntry(int{ERROR_NOT_ENOUGH_MEMORY}, [&]() -> int {
    if (!pszPath || pszPath[0] != '/') return ERROR_BAD_PATHNAME;
    std::string path(pszPath);
    while (path.size() > 1 && path.back() == '/') path.pop_back();

    struct stat info {};
    if (stat(path.c_str(), &info) == 0) return S_ISDIR(info.st_mode) ? ERROR_ALREADY_EXISTS : ERROR_FILE_EXISTS;

    // Create each missing folder from the top down.
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
      std::string folder = path.substr(0, slash);
      if (!folder.empty() && folder.back() != '/' && mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
        return ErrorFor(errno);
      if (slash == std::string::npos) break;
    }
    if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return ERROR_PATH_NOT_FOUND;
    return ERROR_SUCCESS;
  });
}
