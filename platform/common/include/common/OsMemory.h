#pragma once

// Files mapped into memory and memory given back early: mmap and madvise on POSIX
// (OsMemoryPosix.cpp), file mappings and MEM_RESET on Windows (OsMemoryWin32.cpp).
#include <cstddef>

namespace os {

// The whole file read-only in memory, read front to back; null with errno set on failure.
void* MapFile(int fd, std::size_t size);
void UnmapFile(void* data, std::size_t size);
// The system's memory page size.
std::size_t PageSize();
// Gives the whole pages inside [begin, begin + bytes) back to the system; the caller reads
// them no more (they read as zeros or as the file again).
void DropPages(const void* begin, std::size_t bytes);

}  // namespace os
