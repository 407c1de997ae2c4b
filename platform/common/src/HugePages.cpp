#include "common/HugePages.h"

#include <cstdlib>
#include <fstream>
#include <string>

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
#define RESTART_WITH_HUGE_PAGES 1
#include <unistd.h>
#endif

#ifdef RESTART_WITH_HUGE_PAGES
namespace {

constexpr const char* kTunable = "glibc.malloc.hugetlb";

bool KernelOffersHugePages() {
  std::ifstream setting("/sys/kernel/mm/transparent_hugepage/enabled");
  std::string modes;
  return std::getline(setting, modes) && modes.find("[never]") == std::string::npos;
}

}  // namespace
#endif

void RestartWithHugePages(char** argv) {
#ifdef RESTART_WITH_HUGE_PAGES
  const char* tunables = std::getenv("GLIBC_TUNABLES");
  const bool given = tunables != nullptr;
  const std::string before = given ? tunables : "";
  if (before.find(kTunable) != std::string::npos || !KernelOffersHugePages()) return;
  // 1: madvise the heap and large blocks for huge pages, which the kernel
  // then gives where it has them, in "always" and in "madvise" mode alike.
  // The program's own file, not /proc/self/exe, so that it keeps its name in ps and top.
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return;
  self[length] = '\0';
  const std::string after = (before.empty() ? "" : before + ":") + kTunable + "=1";
  if (setenv("GLIBC_TUNABLES", after.c_str(), 1) != 0) return;
  execv(self, argv);
  // Not restarted: carry on in small pages, as the user started it.
  if (given)
    setenv("GLIBC_TUNABLES", before.c_str(), 1);
  else
    unsetenv("GLIBC_TUNABLES");
#else
  (void)argv;
#endif
}
