#include "FileIO/Memory.h"

#include <cstdlib>

#include "FileIO/TestSeam.h"

namespace {
// The test seam's count; the host calls its SDK from its one UI thread.
long long extAllocations = 0;
long long failingExtAllocation = 0;  // 0: none
}  // namespace

// calloc with a size of at least one byte, so a zero-sized request still
// yields a block that FreeString/FreeExt can tell apart from a failure.
static void* AllocZeroed(std::size_t size) { return std::calloc(size ? size : 1, 1); }

char* AllocString(std::size_t size) { return static_cast<char*>(AllocZeroed(size)); }

void FreeString(char* text) { std::free(text); }

void* AllocExt(std::size_t size) {
  if (++extAllocations == failingExtAllocation) return nullptr;
  return AllocZeroed(size);
}

void FreeExt(void* block) { std::free(block); }

void FileIOTestFailAllocation(long long nth) {
  extAllocations = 0;
  failingExtAllocation = nth;
}

long long FileIOTestAllocationCount() { return extAllocations; }
