#include <shlobj.h>
#include <windows.h>

#include <vector>

#include "KnownPaths.h"

// Where Windows keeps the user's folders: the shell's known folders.
namespace fileio {
namespace {

std::string ShellFolder(int folder) {
  char path[MAX_PATH] = {};
  if (SHGetFolderPathA(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) return "";
  return WithoutTrailingSeparator(path);
}

}  // namespace

std::string FromCurrentFolder(const std::string& relative) {
  std::vector<char> buffer(MAX_PATH * 4);
  const DWORD length = GetFullPathNameA(relative.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
  if (length == 0 || length >= buffer.size()) return "";
  return std::string(buffer.data(), length);
}

std::string HomeFolder() {
  std::string home = Environment("USERPROFILE");
  return home.empty() ? ShellFolder(CSIDL_PROFILE) : home;
}

std::string ConfigFolder() {
  std::string appData = ShellFolder(CSIDL_APPDATA);
  return appData.empty() ? WithoutTrailingSeparator(Environment("APPDATA")) : appData;
}

std::string SystemDocumentsFolder() {
  std::string documents = ShellFolder(CSIDL_PERSONAL);
  return documents.empty() ? WithoutTrailingSeparator(HomeFolder()) + "\\Documents" : documents;
}

}  // namespace fileio
