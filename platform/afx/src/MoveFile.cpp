#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include <windows.h>
#include "Win32Error.h"
#include "common/SafeReplace.h"

namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  ::close(fd);
}

// Where the file system cannot rename without replacing: a hard link is made
// without replacing, and the old name then dropped, unless a newer file took
// it in between. Last, on a file system without links, a look before the
// rename (a taker arriving in between could still lose its file).
int MoveByLink(const char* from, const char* to) {
  struct stat before {};
  if (lstat(from, &before) != 0) return errno;
  if (link(from, to) == 0) {
    struct stat now {};
    if (lstat(from, &now) == 0 && now.st_dev == before.st_dev && now.st_ino == before.st_ino && unlink(from) != 0) {
      const int error = errno;
      unlink(to);  // another mover dropped the old name first: the file is theirs
      return error;
    }
    return 0;
  }
  if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP && errno != EMLINK) return errno;
  struct stat taken {};
  if (lstat(to, &taken) == 0) return EEXIST;
  if (errno != ENOENT) return errno;
  return std::rename(from, to) == 0 ? 0 : errno;
}

int MoveWithoutReplacing(const char* from, const char* to) {
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL) return errno;
  return MoveByLink(from, to);
}

// The Win32 code of a failed move: a missing folder of either name is a bad
// path, a missing source a missing file.
DWORD MoveError(int error, const char* from, const char* to) {
  const DWORD code = afx::Win32ErrorForPath(error, from);
  return code == ERROR_FILE_NOT_FOUND ? afx::Win32ErrorForPath(error, to) : code;
}

}  // namespace

BOOL WINAPI MoveFileExA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags) {
  constexpr DWORD kKnown = MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH;
  if (!lpExistingFileName || !*lpExistingFileName || !lpNewFileName || !*lpNewFileName || (dwFlags & ~kKnown)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const bool durable = (dwFlags & MOVEFILE_WRITE_THROUGH) != 0;
  if (dwFlags & MOVEFILE_REPLACE_EXISTING) {
    // The shared replacement rules: a link is written through, the replaced
    // file's mode kept, a read-only or non-regular file refused.
    safereplace::Options options;
    options.durable = durable;
    std::string reason;
    if (safereplace::MoveOver(lpExistingFileName, lpNewFileName, reason, options)) {
      SetLastError(ERROR_SUCCESS);
      return TRUE;
    }
    // MoveOver says EINVAL for a source or target that is not a regular file:
    // one Windows will not put in place or replace either.
    const int error = errno;
    SetLastError(error == EINVAL ? ERROR_ACCESS_DENIED : MoveError(error, lpExistingFileName, lpNewFileName));
    return FALSE;
  }
  if (const int error = MoveWithoutReplacing(lpExistingFileName, lpNewFileName)) {
    SetLastError(MoveError(error, lpExistingFileName, lpNewFileName));
    return FALSE;
  }
  if (durable) SyncFolder(FolderOf(lpNewFileName));
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}
