#pragma once

#include <string>

#include <FileIO/String.h>

namespace pigmora {

// The key under which this platform's file system tells paths apart. Here the
// bytes as they are, since "A.tga" and "a.tga" are two files; Windows ignores
// letter case (the drive letter's too) and takes '/' for '\', so its key
// folds both.
inline std::string FilePathKey(const String& path) {
  std::string key(path.Get());
#if defined(_WIN32)
  for (char& c : key) {
    if (c == '/') c = '\\';
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
#endif
  return key;
}

inline bool IsSameFilePath(const String& a, const String& b) { return FilePathKey(a) == FilePathKey(b); }

}  // namespace pigmora
