#pragma once

#include <string>

#include <FileIO/String.h>

namespace pigmora {

// The key under which this platform's file system tells paths apart: the
// bytes as they are, since "A.tga" and "a.tga" are two files here. A build for
// a file system that ignores letter case folds it in this one place.
inline std::string FilePathKey(const String& path) { return std::string(path.Get()); }

inline bool IsSameFilePath(const String& a, const String& b) { return FilePathKey(a) == FilePathKey(b); }

}  // namespace pigmora
