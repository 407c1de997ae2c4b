#pragma once

#include <cstddef>

#include <FileIO/String.h>

namespace pigmora {

// Replaces the file at path with the bytes so that a reader sees either the
// old file or the whole new one, never a part: the bytes go to a temporary
// file beside it, which is then renamed over it. On failure nothing is left
// behind, the old file, if any, is unchanged and reason says why, for a
// person ("a folder is in its place", "the disk is full (...)"). True when the
// file was replaced.
bool ReplaceFileContents(const char* path, const char* bytes, std::size_t count, String& reason);

}  // namespace pigmora
