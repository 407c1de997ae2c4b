#include <windows.h>

#include <io.h>

#include <cerrno>
#include <cstdint>

#include <common/OsMemory.h>

namespace os {

void* MapFile(int fd, std::size_t size) {
  HANDLE file = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  if (!mapping) {
    errno = EACCES;
    return nullptr;
  }
  void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, size);
  CloseHandle(mapping);  // the view keeps the mapping
  if (!view) errno = ENOMEM;
  return view;
}

void UnmapFile(void* data, std::size_t) { UnmapViewOfFile(data); }

std::size_t PageSize() {
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  return info.dwPageSize;
}

// Private memory is reset (the system may drop it instead of paging it out); a file's view
// gives its pages back when it is unmapped.
void DropPages(const void* begin, std::size_t bytes) {
  const std::uintptr_t page = PageSize();
  const std::uintptr_t from = (reinterpret_cast<std::uintptr_t>(begin) + page - 1) / page * page;
  const std::uintptr_t to = (reinterpret_cast<std::uintptr_t>(begin) + bytes) / page * page;
  MEMORY_BASIC_INFORMATION region{};
  if (to <= from || !VirtualQuery(reinterpret_cast<void*>(from), &region, sizeof region) || region.Type != MEM_PRIVATE)
    return;
  VirtualAlloc(reinterpret_cast<void*>(from), to - from, MEM_RESET, PAGE_READWRITE);
}

}  // namespace os
