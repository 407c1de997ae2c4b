#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "afx.h"

#include "common/SafeReplace.h"

namespace {

bool FolderOfPathExists(const char* path) {
  std::string folder(path);
  std::size_t slash = folder.rfind('/');
  if (slash == std::string::npos) return true;  // the working folder
  folder.erase(slash == 0 ? 1 : slash);
  struct stat info {};
  return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void Report(CFileException* error, int osError, LPCTSTR fileName) {
  if (!error) return;
  error->m_cause = CFileException::OsErrorToException(osError);
  // A missing folder on the way is a bad path, not a missing file, as on Windows.
  if (osError == ENOENT && fileName && *fileName && !FolderOfPathExists(fileName))
    error->m_cause = CFileException::badPath;
  error->m_lOsError = osError;
  error->m_strFileName = fileName ? fileName : "";
}

// The advisory lock a sharing mode asks for; 0 for none.
int LockFor(UINT flags) {
  switch (flags & 0x70) {
    case CFile::shareExclusive:
    case CFile::shareDenyRead: return LOCK_EX;
    case CFile::shareDenyWrite: return LOCK_SH;
    default: return 0;
  }
}

}  // namespace

CFile::CFile() = default;

CFile::~CFile() { Close(); }

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
  Close();
  writeError_ = FALSE;
  writeOsError_ = 0;
  if (!lpszFileName || !*lpszFileName) {
    Report(pError, ENOENT, lpszFileName);
    if (pError) pError->m_cause = CFileException::badPath;
    return FALSE;
  }
  int access = 0;
  switch (nOpenFlags & 0x3) {
    case modeRead: access = O_RDONLY; break;
    case modeWrite: access = O_WRONLY; break;
    case modeReadWrite: access = O_RDWR; break;
    default: Report(pError, EINVAL, lpszFileName); return FALSE;
  }
  int flags = access | O_CLOEXEC;
  if (nOpenFlags & modeCreate) flags |= O_CREAT;
  // Truncation waits until the sharing lock is held, so a refused open
  // cannot empty a file that someone else has open exclusively.
  int fd = open(lpszFileName, flags, 0666);
  if (fd < 0) {
    Report(pError, errno, lpszFileName);
    return FALSE;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    close(fd);
    Report(pError, EISDIR, lpszFileName);
    return FALSE;
  }
  if (int lock = LockFor(nOpenFlags)) {
    int result;
    while ((result = flock(fd, lock | LOCK_NB)) != 0 && errno == EINTR) {}
    if (result != 0) {
      int lockError = errno;
      close(fd);
      Report(pError, lockError, lpszFileName);
      return FALSE;
    }
  }
  if ((nOpenFlags & modeCreate) && !(nOpenFlags & modeNoTruncate) && S_ISREG(info.st_mode) && ftruncate(fd, 0) != 0) {
    int truncateError = errno;
    close(fd);
    Report(pError, truncateError, lpszFileName);
    return FALSE;
  }
  fd_ = fd;
  m_strFileName = lpszFileName;
  return TRUE;
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
  if (fd_ < 0 || !lpBuf) return 0;
  UINT done = 0;
  while (done < nCount) {
    ssize_t got = read(fd_, static_cast<char*>(lpBuf) + done, nCount - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<UINT>(got);
  }
  return done;
}

void CFile::Write(const void* lpBuf, UINT nCount) {
  if (fd_ < 0 || (!lpBuf && nCount)) {
    if (!writeError_) writeOsError_ = EBADF;
    writeError_ = TRUE;
    return;
  }
  UINT done = 0;
  while (done < nCount) {
    ssize_t written = write(fd_, static_cast<const char*>(lpBuf) + done, nCount - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (!writeError_) writeOsError_ = written < 0 ? errno : ENOSPC;
      writeError_ = TRUE;
      return;
    }
    done += static_cast<UINT>(written);
  }
}

void CFile::Flush() {
  if (fd_ >= 0) fsync(fd_);
}

void CFile::Close() {
  if (fd_ >= 0) close(fd_);  // also releases the sharing lock
  fd_ = -1;
}

ULONGLONG CFile::GetLength() const {
  struct stat info {};
  return (fd_ >= 0 && fstat(fd_, &info) == 0) ? static_cast<ULONGLONG>(info.st_size) : 0;
}

ULONGLONG CFile::GetPosition() const {
  off_t position = fd_ >= 0 ? lseek(fd_, 0, SEEK_CUR) : -1;
  return position < 0 ? 0 : static_cast<ULONGLONG>(position);
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom) {
  int whence = nFrom == current ? SEEK_CUR : nFrom == end ? SEEK_END : SEEK_SET;
  if (fd_ >= 0) lseek(fd_, static_cast<off_t>(lOff), whence);
  return GetPosition();
}

BOOL PASCAL CFile::GetStatus(LPCTSTR lpszFileName, CFileStatus& rStatus) {
  rStatus = CFileStatus();
  struct stat info {};
  if (!lpszFileName || !*lpszFileName || stat(lpszFileName, &info) != 0) return FALSE;
  rStatus.m_ctime = info.st_ctime;
  rStatus.m_mtime = info.st_mtime;
  rStatus.m_atime = info.st_atime;
  rStatus.m_size = S_ISDIR(info.st_mode) ? 0 : static_cast<ULONGLONG>(info.st_size);
  if (S_ISDIR(info.st_mode)) rStatus.m_attribute |= directory;
  if (access(lpszFileName, W_OK) != 0) rStatus.m_attribute |= readOnly;
  const char* name = std::strrchr(lpszFileName, '/');
  if ((name ? name[1] : lpszFileName[0]) == '.') rStatus.m_attribute |= hidden;
  char full[PATH_MAX];
  const char* shown = realpath(lpszFileName, full) ? full : lpszFileName;
  // Cut at MAX_PATH, as on Windows; the record was zero-filled above.
  std::memcpy(rStatus.m_szFullName, shown, std::min(std::strlen(shown), sizeof rStatus.m_szFullName - 1));
  return TRUE;
}

void PASCAL CFile::Remove(LPCTSTR lpszFileName) {
  if (!lpszFileName || !*lpszFileName) AfxThrowFileException(CFileException::badPath, ENOENT, lpszFileName);
  if (unlink(lpszFileName) != 0) {
    int error = errno;
    // unlink reports a folder as EISDIR or EPERM; either way it is no file to remove.
    AfxThrowFileException(CFileException::OsErrorToException(error), error, lpszFileName);
  }
}

void PASCAL CFile::Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName) {
  if (!lpszOldName || !*lpszOldName || !lpszNewName || !*lpszNewName)
    AfxThrowFileException(CFileException::badPath, ENOENT, lpszOldName);
  // The shared replacement rules: a link is written through, the replaced
  // file's mode kept, a read-only or non-regular file refused.
  std::string reason;
  if (!safereplace::MoveOver(lpszOldName, lpszNewName, reason)) {
    int error = errno;
    AfxThrowFileException(CFileException::OsErrorToException(error), error, lpszOldName);
  }
}
