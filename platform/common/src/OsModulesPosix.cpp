#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <common/OsModules.h>

namespace os {

void* LoadModule(const std::string& path, std::string& error) {
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) error = dlerror();
  return module;
}

void* FindSymbol(void* module, const char* name) { return dlsym(module, name); }

void UnloadModule(void* module) { dlclose(module); }

const void* BaseOfModule(void* module) {
  link_map* map = nullptr;
  if (!module || dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !map) return nullptr;
  return reinterpret_cast<const void*>(map->l_addr);
}

bool ModuleOfAddress(const void* address, const void*& base, std::string& path) {
  Dl_info info{};
  if (!dladdr(address, &info)) return false;
  base = info.dli_fbase;
  path = info.dli_fname ? info.dli_fname : "";
  return true;
}

std::string ExecutablePath() {
  char buffer[4096];
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
}

}  // namespace os
