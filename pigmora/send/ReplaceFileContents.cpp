#include "send/ReplaceFileContents.h"

#include <afx.h>

#include <climits>
#include <string>

namespace pigmora {

namespace {

void RemoveQuietly(const char* path) {
  try {
    CFile::Remove(path);
  } catch (CFileException* error) {
    error->Delete();
  }
}

}  // namespace

bool ReplaceFileContents(const char* path, const char* bytes, std::size_t count) {
  if (!path || !*path || count > UINT_MAX) return false;
  const std::string temporary = std::string(path) + ".part";
  CFile file;
  // Exclusive, so two writers never fill the same temporary file.
  if (!file.Open(temporary.c_str(), CFile::modeCreate | CFile::shareExclusive | CFile::modeWrite)) return false;
  file.Write(bytes, static_cast<UINT>(count));
  file.Flush();  // on disk before the rename makes it visible
  const bool written = !file.HasWriteError();
  file.Close();
  if (written) {
    try {
      CFile::Rename(temporary.c_str(), path);
      return true;
    } catch (CFileException* error) {
      error->Delete();
    }
  }
  RemoveQuietly(temporary.c_str());
  return false;
}

}  // namespace pigmora
