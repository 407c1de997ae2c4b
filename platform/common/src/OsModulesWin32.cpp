#include <windows.h>

#include <common/OsModules.h>

namespace os {
namespace {

std::string SystemText(DWORD code) {
  char buffer[512] = {};
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer,
                                sizeof buffer, nullptr);
  while (length > 0 && (buffer[length - 1] == '\n' || buffer[length - 1] == '\r' || buffer[length - 1] == ' '))
    --length;
  return length ? std::string(buffer, length) : "error " + std::to_string(code);
}

std::string FileOfModule(HMODULE module) {
  char buffer[MAX_PATH * 4];
  DWORD length = GetModuleFileNameA(module, buffer, sizeof buffer);
  return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

}  // namespace

void* LoadModule(const std::string& path, std::string& error) {
  // The libraries a plug-in needs are found beside the program (the platform's DLLs) and
  // beside the plug-in itself, as hosts load them.
  HMODULE module =
      LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS | LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR);
  if (!module) error = SystemText(GetLastError());
  return reinterpret_cast<void*>(module);
}

void* FindSymbol(void* module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void UnloadModule(void* module) { FreeLibrary(static_cast<HMODULE>(module)); }

const void* BaseOfModule(void* module) { return module; }

bool ModuleOfAddress(const void* address, const void*& base, std::string& path) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<LPCSTR>(address), &module))
    return false;
  base = module;
  path = FileOfModule(module);
  return true;
}

std::string ExecutablePath() { return FileOfModule(nullptr); }

}  // namespace os
