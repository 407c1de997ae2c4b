#include <shlwapi.h>
#include <windows.h>

#include <io.h>
#include <share.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>

#include <common/OsFiles.h>

namespace os {
namespace {

// errno for the Win32 code a failed call left.
int ErrnoFromWin32(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS: return EEXIST;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return EWOULDBLOCK;
    case ERROR_ACCESS_DENIED: return EACCES;
    case ERROR_NOT_SAME_DEVICE: return EXDEV;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    case ERROR_WRITE_PROTECT: return EROFS;
    case ERROR_NOT_ENOUGH_MEMORY: return ENOMEM;
    default: return EIO;
  }
}

int Failed() {
  errno = ErrnoFromWin32(GetLastError());
  return -1;
}

HANDLE HandleOf(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

}  // namespace

int OpenFile(const char* path, int flags, int mode, Sharing sharing) {
  const int share = sharing == Sharing::DenyAll ? _SH_DENYRW : sharing == Sharing::DenyWrite ? _SH_DENYWR : _SH_DENYNO;
  int fd = -1;
  const errno_t failure =
      _sopen_s(&fd, path, flags | _O_BINARY | _O_NOINHERIT, share, (mode & 0200 ? _S_IWRITE : 0) | _S_IREAD);
  if (failure == 0) return fd;
  errno = _doserrno == ERROR_SHARING_VIOLATION || _doserrno == ERROR_LOCK_VIOLATION ? EWOULDBLOCK : failure;
  // Windows opens no folder as a file and says only "access denied"; POSIX tells a folder apart.
  if (errno == EACCES) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) errno = EISDIR;
  }
  return -1;
}

int TakeSharingLock(int, Sharing) { return 0; }

long long ReadAt(int fd, void* buffer, std::size_t size, std::uint64_t offset) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD got = 0;
  const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
  if (ReadFile(HandleOf(fd), buffer, want, &got, &at)) return got;
  return GetLastError() == ERROR_HANDLE_EOF ? 0 : Failed();
}

bool WriteAt(int fd, const void* data, std::size_t size, std::uint64_t offset) {
  const long long here = _lseeki64(fd, 0, SEEK_CUR);
  if (here < 0 || _lseeki64(fd, static_cast<long long>(offset), SEEK_SET) < 0) return false;
  const char* bytes = static_cast<const char*>(data);
  bool written = true;
  while (written && size > 0) {
    const unsigned step = static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30));
    const int done = _write(fd, bytes, step);
    written = done > 0;
    if (written) {
      bytes += done;
      size -= static_cast<std::size_t>(done);
    }
  }
  const int failure = errno;
  if (_lseeki64(fd, here, SEEK_SET) < 0) return false;
  errno = failure;
  return written;
}

void MakeBlocking(int) {}

int LockFile(int fd, bool exclusive, bool wait) {
  OVERLAPPED whole{};
  const DWORD flags = (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY) | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
  if (LockFileEx(HandleOf(fd), flags, 0, MAXDWORD, MAXDWORD, &whole)) return 0;
  return Failed();
}

long long ModifiedNanoseconds(const struct stat& info) { return static_cast<long long>(info.st_mtime) * 1000000000ll; }

long long ChangedNanoseconds(const struct stat& info) { return static_cast<long long>(info.st_ctime) * 1000000000ll; }

int SyncFile(int fd) { return FlushFileBuffers(HandleOf(fd)) ? 0 : Failed(); }

void SyncFolder(const std::string&) {}

int MoveReplacing(const char* from, const char* to) {
  if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
  // Windows replaces no file another program holds open: it says so as a sharing violation, or
  // as access denied to a target that is not read-only.
  const DWORD code = GetLastError();
  const DWORD target = GetFileAttributesA(to);
  if (code == ERROR_SHARING_VIOLATION || (code == ERROR_ACCESS_DENIED && target != INVALID_FILE_ATTRIBUTES &&
                                          !(target & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))) {
    errno = EBUSY;
    return -1;
  }
  return Failed();
}

int MoveNoReplace(const char* from, const char* to) {
  return MoveFileExA(from, to, MOVEFILE_WRITE_THROUGH) ? 0 : Failed();
}

bool IsSymbolicLink(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Links are followed by the system itself when a file is opened or renamed onto.
bool ReadLink(const char*, std::string&) { return false; }

std::string FullPath(const char* path) {
  char full[MAX_PATH * 4];
  const DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
  return length > 0 && length < sizeof full ? std::string(full, length) : std::string();
}

bool MatchesPattern(const std::string& name, const std::string& pattern) {
  return PathMatchSpecA(name.c_str(), pattern.c_str()) != FALSE;
}

bool IsExecutableFile(const std::string&) { return false; }

int MakeFolder(const char* path) { return CreateDirectoryA(path, nullptr) ? 0 : Failed(); }

bool IsAbsolutePath(const std::string& path) {
  auto separator = [](char c) { return c == '\\' || c == '/'; };
  if (path.size() >= 3 && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') && path[1] == ':' && separator(path[2]))
    return true;
  return path.size() >= 2 && separator(path[0]) && separator(path[1]);
}

bool IsSuperuser() { return false; }

int NewFileMode() { return 0666; }

void CopyPermissions(const char* path, const struct stat& from) {
  if (!(from.st_mode & _S_IWRITE)) _chmod(path, _S_IREAD);
}

// A folder's read-only attribute does not stop files being created in it; its access rules are
// found out by creating one.
bool CanCreateIn(const std::string& folder) {
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Failed() == 0;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    errno = ENOTDIR;
    return false;
  }
  return true;
}

int MakeTemporaryFile(std::string& pattern) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  if (pattern.size() < 6) {
    errno = EINVAL;
    return -1;
  }
  std::random_device seed;
  std::mt19937 random(seed() ^ GetCurrentProcessId() ^ GetTickCount());
  for (int attempt = 0; attempt < 100; ++attempt) {
    for (std::size_t i = pattern.size() - 6; i < pattern.size(); ++i) pattern[i] = kLetters[random() % 36];
    int fd = OpenFile(pattern.c_str(), O_RDWR | O_CREAT | O_EXCL, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

}  // namespace os
