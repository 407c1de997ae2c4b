#include "send/ReplaceFileContents.h"

#include <afx.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>

#include "settings/PathSeparator.h"

namespace pigmora {

namespace {

void RemoveQuietly(const char* path) {
  try {
    CFile::Remove(path);
  } catch (CFileException* error) {
    error->Delete();
  }
}

std::string OsText(LONG osError) { return osError > 0 ? std::strerror(static_cast<int>(osError)) : "unknown error"; }

std::string FolderOf(const std::string& path) {
  const std::size_t separator = path.find_last_of(PIGMORA_PATH_SEPARATOR[0]);
  return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

// Why nothing can be created beside path: its folder is missing or is no folder.
std::string FolderProblem(const std::string& path, LONG osError) {
  const std::string folder = FolderOf(path);
  CFileStatus status;
  if (!folder.empty() && !CFile::GetStatus(folder.c_str(), status)) {
    // The nearest folder on the way that is there tells whether a file stands in for one.
    std::string missing = folder;
    for (std::string above = FolderOf(missing); !above.empty(); above = FolderOf(missing)) {
      if (CFile::GetStatus(above.c_str(), status)) {
        if (!(status.m_attribute & CFile::directory)) return "'" + above + "' is a file where a folder should be";
        break;
      }
      missing = above;
    }
    return "the folder '" + folder + "' does not exist";
  }
  if (!folder.empty() && !(status.m_attribute & CFile::directory))
    return "'" + folder + "' is a file where a folder should be";
  if (osError == EACCES || osError == EPERM || osError == EROFS)
    return "the folder '" + folder + "' cannot be written to (" + OsText(osError) + ")";
  return "it cannot be created (" + OsText(osError) + ")";
}

// Why the finished temporary file could not take the target's place. The
// platform refuses a folder, a read-only file and anything but a regular file there.
std::string ReplaceProblem(LONG osError) {
  switch (osError) {
    case EISDIR: return "a folder is in its place";
    case EINVAL: return "something other than a regular file (a pipe or a device) is in its place";
    case EACCES:
    case EPERM: return "the file is read-only or its folder cannot be written to (" + OsText(osError) + ")";
    default: return "it cannot be replaced (" + OsText(osError) + ")";
  }
}

// A full disk, or a quota used up where the platform has quotas.
bool IsDiskFull(LONG osError) {
#ifdef EDQUOT
  if (osError == EDQUOT) return true;
#endif
  return osError == ENOSPC;
}

std::string WriteProblem(LONG osError) {
  if (IsDiskFull(osError)) return "the disk is full (" + OsText(osError) + ")";
  return "writing failed (" + OsText(osError) + ")";
}

}  // namespace

bool ReplaceFileContents(const char* path, const char* bytes, std::size_t count, String& reason) {
  if (!path || !*path) {
    reason = "the exchange folder is not known";
    return false;
  }
  if (count > UINT_MAX) {
    reason = "it would be too large";
    return false;
  }
  CFileStatus status;
  if (CFile::GetStatus(path, status) && (status.m_attribute & CFile::directory)) {
    reason = "a folder is in its place";
    return false;
  }
  const std::string temporary = std::string(path) + ".part";
  CFile file;
  CFileException openError;
  // Exclusive, so two writers never fill the same temporary file.
  if (!file.Open(temporary.c_str(), CFile::modeCreate | CFile::shareExclusive | CFile::modeWrite, &openError)) {
    reason = FolderProblem(path, openError.m_lOsError).c_str();
    return false;
  }
  file.Write(bytes, static_cast<UINT>(count));
  file.Flush();  // on disk before the rename makes it visible
  const bool written = !file.HasWriteError();
  const LONG writeError = file.GetWriteOsError();
  file.Close();
  if (!written) {
    reason = WriteProblem(writeError).c_str();
    RemoveQuietly(temporary.c_str());
    return false;
  }
  try {
    CFile::Rename(temporary.c_str(), path);
    return true;
  } catch (CFileException* error) {
    reason = ReplaceProblem(error->m_lOsError).c_str();
    error->Delete();
  }
  RemoveQuietly(temporary.c_str());
  return false;
}

}  // namespace pigmora
