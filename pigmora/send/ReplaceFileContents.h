#pragma once

#include <cstddef>

namespace pigmora {

// Replaces the file at path with the bytes so that a reader sees either the
// old file or the whole new one, never a part: the bytes go to a temporary
// file beside it, which is then renamed over it. On failure nothing is left
// behind and the old file, if any, is unchanged. True when the file was replaced.
bool ReplaceFileContents(const char* path, const char* bytes, std::size_t count);

}  // namespace pigmora
