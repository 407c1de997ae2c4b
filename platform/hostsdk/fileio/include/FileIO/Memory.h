#pragma once

#include <cstddef>

#include "FileIO/Export.h"

// Text blocks owned by String. A block of `size` bytes, zero-filled; null when
// the allocation fails. FreeString accepts null.
FILEIO_API char* AllocString(std::size_t size);
FILEIO_API void FreeString(char* text);

// Storage of the interchange model's arrays. Zero-filled; null on failure.
FILEIO_API void* AllocExt(std::size_t size);
FILEIO_API void FreeExt(void* block);
