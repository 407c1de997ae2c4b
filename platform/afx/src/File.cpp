#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Win32Error.h"
#include "afx.h"
#include "common/OsFiles.h"

namespace {

// Fills the caller's record, if any, and the thread's last error for a failed
// call on fileName that left the Win32 code.
void Report(CFileException* error, DWORD code, LPCTSTR fileName) {
  SetLastError(code);
  if (!error) return;
  error->m_cause = CFileException::OsErrorToException(static_cast<LONG>(code));
  error->m_lOsError = static_cast<LONG>(code);
  error->m_strFileName = fileName ? fileName : "";
}

void ReportErrno(CFileException* error, int osError, LPCTSTR fileName) {
  Report(error, afx::Win32ErrorForPath(osError, fileName), fileName);
}

// What a sharing mode lets other openers do.
os::Sharing SharingFor(UINT flags) {
  switch (flags & 0x70) {
    case CFile::shareExclusive:
    case CFile::shareDenyRead: return os::Sharing::DenyAll;
    case CFile::shareDenyWrite: return os::Sharing::DenyWrite;
    default: return os::Sharing::Any;
  }
}

}  // namespace

CFile::CFile() = default;

CFile::~CFile() { Close(); }

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
  Close();
  if (!lpszFileName || !*lpszFileName) {
    Report(pError, ERROR_PATH_NOT_FOUND, lpszFileName);
    return FALSE;
  }
  int access = 0;
  switch (nOpenFlags & 0x3) {
    case modeRead: access = O_RDONLY; break;
    case modeWrite: access = O_WRONLY; break;
    case modeReadWrite: access = O_RDWR; break;
    default: Report(pError, ERROR_INVALID_PARAMETER, lpszFileName); return FALSE;
  }
  // A path on Windows names a file or a folder, never a FIFO, socket or
  // device: those are refused, looked at first so that none is opened, and
  // opened without blocking in case one appeared since (opening a FIFO waits
  // for its other end).
  struct stat info {};
  if (stat(lpszFileName, &info) == 0 && !S_ISREG(info.st_mode)) {
    Report(pError, ERROR_ACCESS_DENIED, lpszFileName);
    return FALSE;
  }
  int flags = access | os::kOpenNonBlocking;
  if (nOpenFlags & modeCreate) flags |= O_CREAT;
  // Truncation waits until the sharing lock is held, so a refused open
  // cannot empty a file that someone else has open exclusively.
  const os::Sharing sharing = SharingFor(nOpenFlags);
  int fd = os::OpenFile(lpszFileName, flags, 0666, sharing);
  if (fd < 0) {
    // ENXIO: a FIFO without a reader or a socket, opened for writing.
    const int error = errno;
    Report(pError, error == ENXIO ? ERROR_ACCESS_DENIED : afx::Win32ErrorForPath(error, lpszFileName), lpszFileName);
    return FALSE;
  }
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    Report(pError, ERROR_ACCESS_DENIED, lpszFileName);
    return FALSE;
  }
  os::MakeBlocking(fd);  // a regular file reads and writes as usual
  if (os::TakeSharingLock(fd, sharing) != 0) {
    int lockError = errno;
    close(fd);
    ReportErrno(pError, lockError, lpszFileName);
    return FALSE;
  }
  if ((nOpenFlags & modeCreate) && !(nOpenFlags & modeNoTruncate) && ftruncate(fd, 0) != 0) {
    int truncateError = errno;
    close(fd);
    ReportErrno(pError, truncateError, lpszFileName);
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
    if (got < 0) {
      const DWORD code = afx::Win32ErrorFromErrno(errno);
      SetLastError(code);
      AfxThrowFileException(CFileException::OsErrorToException(static_cast<LONG>(code)), static_cast<LONG>(code),
                            m_strFileName.c_str());
    }
    if (got == 0) break;
    done += static_cast<UINT>(got);
  }
  return done;
}

void CFile::Write(const void* lpBuf, UINT nCount) {
  if (fd_ < 0 || (!lpBuf && nCount))
    AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName.c_str());
  UINT done = 0;
  while (done < nCount) {
    ssize_t written = write(fd_, static_cast<const char*>(lpBuf) + done, nCount - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      // Nothing written without an error is a full disk, as the system says when it cannot go on.
      const LONG code = written < 0 ? afx::Win32ErrorFromErrno(errno) : ERROR_DISK_FULL;
      AfxThrowFileException(CFileException::OsErrorToException(code), code, m_strFileName.c_str());
    }
    done += static_cast<UINT>(written);
  }
}

void CFile::Flush() {
  if (fd_ < 0) return;
  // A file system that cannot sync (EINVAL) has nothing to flush.
  if (os::SyncFile(fd_) != 0 && errno != EINVAL) {
    const LONG code = afx::Win32ErrorFromErrno(errno);
    AfxThrowFileException(CFileException::OsErrorToException(code), code, m_strFileName.c_str());
  }
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
  if (S_ISDIR(info.st_mode))
    rStatus.m_attribute |= directory;
  else if (!S_ISREG(info.st_mode))
    rStatus.m_attribute |= device;
  if (access(lpszFileName, W_OK) != 0) rStatus.m_attribute |= readOnly;
  const std::string path = lpszFileName;
  const std::size_t slash = path.find_last_of(os::kPathSeparators);
  if (path[slash == std::string::npos ? 0 : slash + 1] == '.') rStatus.m_attribute |= hidden;
  const std::string full = os::FullPath(lpszFileName);
  const char* shown = full.empty() ? lpszFileName : full.c_str();
  // Cut at MAX_PATH, as on Windows; the record was zero-filled above.
  std::memcpy(rStatus.m_szFullName, shown, std::min(std::strlen(shown), sizeof rStatus.m_szFullName - 1));
  return TRUE;
}

void PASCAL CFile::Remove(LPCTSTR lpszFileName) {
  if (!lpszFileName || !*lpszFileName)
    AfxThrowFileException(CFileException::badPath, ERROR_PATH_NOT_FOUND, lpszFileName);
  if (unlink(lpszFileName) != 0) {
    // unlink reports a folder as EISDIR or EPERM; either way it is no file to remove.
    const DWORD code = afx::Win32ErrorForPath(errno, lpszFileName);
    SetLastError(code);
    AfxThrowFileException(CFileException::OsErrorToException(static_cast<LONG>(code)), static_cast<LONG>(code),
                          lpszFileName);
  }
}

void PASCAL CFile::Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName) {
  if (!MoveFileExA(lpszOldName, lpszNewName, 0)) {
    const DWORD code = GetLastError();
    AfxThrowFileException(CFileException::OsErrorToException(static_cast<LONG>(code)), static_cast<LONG>(code),
                          lpszOldName);
  }
}
