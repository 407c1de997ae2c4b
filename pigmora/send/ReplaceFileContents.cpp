#include "send/ReplaceFileContents.h"

#include <afx.h>

#include <climits>
#include <string>

#include "files/PathSeparator.h"
#include "files/SystemErrorText.h"

namespace pigmora {

namespace {

void RemoveQuietly(const char* path) {
  try {
    CFile::Remove(path);
  } catch (CFileException* error) {
    error->Delete();
  }
}

std::string SystemText(DWORD code) { return SystemErrorText(code).Get(); }

std::string FolderOf(const std::string& path) {
  const std::size_t separator = path.find_last_of(PIGMORA_PATH_SEPARATOR[0]);
  return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

// What stands at path that a file cannot replace; empty when nothing does.
std::string InTheWay(const std::string& path) {
  CFileStatus status;
  if (!CFile::GetStatus(path.c_str(), status)) return std::string();
  if (status.m_attribute & CFile::directory) return "a folder";
  if (status.m_attribute & CFile::device) return "something other than a regular file (a pipe or a device)";
  return std::string();
}

// Why the temporary file cannot be created beside path: something is in the
// way at its name, the folder is missing or is no folder, or cannot be written.
std::string CreateProblem(const std::string& path, const std::string& temporary, DWORD code) {
  CFileStatus status;
  if (CFile::GetStatus(temporary.c_str(), status)) {
    const std::string what = InTheWay(temporary);
    return "'" + temporary + "' is in the way (" +
           (what.empty() ? "a file that cannot be written: " + SystemText(code) : what) + ")";
  }
  const std::string folder = FolderOf(path);
  if (!folder.empty() && !CFile::GetStatus(folder.c_str(), status)) {
    // A link on the way that leads back to itself: the folder may well be there.
    if (code == ERROR_CANT_RESOLVE_FILENAME)
      return "the folder '" + folder + "' cannot be reached: links on its path lead round in a loop (" +
             SystemText(code) + ")";
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
  if (code == ERROR_ACCESS_DENIED || code == ERROR_WRITE_PROTECT)
    return "the folder '" + folder + "' cannot be written to (" + SystemText(code) + ")";
  return "it cannot be created (" + SystemText(code) + ")";
}

// Why the finished temporary file could not take the target's place: what
// stands there tells more than the code, which is mostly "access denied".
std::string ReplaceProblem(const std::string& path, DWORD code) {
  const std::string what = InTheWay(path);
  if (!what.empty()) return what + " is in its place";
  if (code == ERROR_ACCESS_DENIED || code == ERROR_WRITE_PROTECT)
    return "the file is read-only or its folder cannot be written to (" + SystemText(code) + ")";
  return "it cannot be replaced (" + SystemText(code) + ")";
}

std::string WriteProblem(DWORD code) {
  if (code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL) return "the disk is full";
  return "writing failed (" + SystemText(code) + ")";
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
  const std::string inTheWay = InTheWay(path);
  if (!inTheWay.empty()) {
    reason = (inTheWay + " is in its place").c_str();
    return false;
  }
  const std::string temporary = std::string(path) + ".part";
  // A file at this name is the leftover of a send cut short, or a link left
  // there: removed, so that opening never writes through a link into another file.
  if (InTheWay(temporary).empty()) RemoveQuietly(temporary.c_str());
  CFile file;
  CFileException openError;
  // Exclusive, so two writers never fill the same temporary file.
  if (!file.Open(temporary.c_str(), CFile::modeCreate | CFile::shareExclusive | CFile::modeWrite, &openError)) {
    reason = CreateProblem(path, temporary, static_cast<DWORD>(openError.m_lOsError)).c_str();
    return false;
  }
  DWORD writeError = ERROR_SUCCESS;
  try {
    file.Write(bytes, static_cast<UINT>(count));
    file.Flush();  // on disk before the move makes it visible
  } catch (CFileException* failure) {
    writeError = static_cast<DWORD>(failure->m_lOsError);
    failure->Delete();
  }
  file.Close();
  if (writeError != ERROR_SUCCESS) {
    reason = WriteProblem(writeError).c_str();
    RemoveQuietly(temporary.c_str());
    return false;
  }
  // Replaces the old file in one step; returns once the move is on the disk.
  if (MoveFileExA(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  reason = ReplaceProblem(path, GetLastError()).c_str();
  RemoveQuietly(temporary.c_str());
  return false;
}

}  // namespace pigmora
