#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#include <common/OsMemory.h>

namespace os {

void* MapFile(int fd, std::size_t size) {
  void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  if (mapped == MAP_FAILED) return nullptr;
  madvise(mapped, size, MADV_SEQUENTIAL);
  return mapped;
}

void UnmapFile(void* data, std::size_t size) { munmap(data, size); }

std::size_t PageSize() {
  static const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  return page;
}

void DropPages(const void* begin, std::size_t bytes) {
  const std::uintptr_t page = PageSize();
  const std::uintptr_t from = (reinterpret_cast<std::uintptr_t>(begin) + page - 1) / page * page;
  const std::uintptr_t to = (reinterpret_cast<std::uintptr_t>(begin) + bytes) / page * page;
  if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
}

}  // namespace os
