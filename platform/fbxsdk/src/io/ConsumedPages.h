// Gives the memory of a large buffer back to the system while it is converted into another, so
// that the two are never whole at the same time: reading a mesh then needs little more memory
// than the mesh itself.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include <common/OsMemory.h>

namespace fbxsdk::io {

// Drops the whole pages inside [begin, begin + bytes). They read as zeros afterwards; the caller
// no longer reads them and frees the buffer soon. Memory around the range (allocator headers)
// is untouched, since only pages wholly inside it go.
inline void DropConsumedPages(const void* begin, size_t bytes) { os::DropPages(begin, bytes); }

// Calls convert(item) for each of count items of width values, dropping the source's pages in
// steps of a few MB (one system call each) as it goes.
template <class T, class Convert>
void ConvertReleasing(const T* source, size_t count, size_t width, Convert convert) {
  const size_t step = std::max<size_t>(1, (size_t(4) << 20) / (sizeof(T) * width));
  for (size_t start = 0; start < count; start += step) {
    size_t end = std::min(count, start + step);
    for (const T* item = source + start * width; item < source + end * width; item += width) convert(item);
    DropConsumedPages(source + start * width, (end - start) * width * sizeof(T));
  }
}

}  // namespace fbxsdk::io
