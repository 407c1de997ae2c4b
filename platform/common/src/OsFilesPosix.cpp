#include <fnmatch.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <common/OsFiles.h>

namespace os {

int OpenFile(const char* path, int flags, int mode, Sharing) {
  return ::open(path, flags | O_CLOEXEC | O_NOCTTY, mode);
}

int TakeSharingLock(int fd, Sharing sharing) {
  return sharing == Sharing::Any ? 0 : LockFile(fd, sharing == Sharing::DenyAll);
}

long long ReadAt(int fd, void* buffer, std::size_t size, std::uint64_t offset) {
  ssize_t got;
  while ((got = pread(fd, buffer, size, static_cast<off_t>(offset))) < 0 && errno == EINTR) {}
  return got;
}

bool WriteAt(int fd, const void* data, std::size_t size, std::uint64_t offset) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t written = pwrite(fd, bytes, size, static_cast<off_t>(offset));
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
    offset += static_cast<std::uint64_t>(written);
  }
  return true;
}

void MakeBlocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK); }

int LockFile(int fd, bool exclusive, bool wait) {
  int result;
  while ((result = flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | (wait ? 0 : LOCK_NB))) != 0 && errno == EINTR) {}
  return result;
}

long long ModifiedNanoseconds(const struct stat& info) {
  return info.st_mtim.tv_sec * 1000000000ll + info.st_mtim.tv_nsec;
}

long long ChangedNanoseconds(const struct stat& info) {
  return info.st_ctim.tv_sec * 1000000000ll + info.st_ctim.tv_nsec;
}

int SyncFile(int fd) { return fsync(fd); }

void SyncFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  ::close(fd);
}

int MoveReplacing(const char* from, const char* to) { return std::rename(from, to); }

int MoveNoReplace(const char* from, const char* to) {
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return -1;
  // A file system without the no-replace rename: a hard link takes the name or fails.
  if (link(from, to) != 0) return -1;
  ::unlink(from);
  return 0;
}

bool IsSymbolicLink(const char* path) {
  struct stat info {};
  return lstat(path, &info) == 0 && S_ISLNK(info.st_mode);
}

bool ReadLink(const char* path, std::string& text) {
  struct stat info {};
  if (lstat(path, &info) != 0 || !S_ISLNK(info.st_mode)) return false;
  std::vector<char> buffer(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1);
  for (;;) {
    ssize_t length = readlink(path, buffer.data(), buffer.size());
    if (length < 0) return false;
    if (static_cast<std::size_t>(length) < buffer.size()) {
      text.assign(buffer.data(), static_cast<std::size_t>(length));
      return true;
    }
    buffer.resize(buffer.size() * 2);  // the link grew while we read it
  }
}

std::string FullPath(const char* path) {
  char full[PATH_MAX];
  return realpath(path, full) ? std::string(full) : std::string();
}

bool MatchesPattern(const std::string& name, const std::string& pattern) {
  return fnmatch(pattern.c_str(), name.c_str(), 0) == 0;
}

bool IsExecutableFile(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

int MakeFolder(const char* path) { return ::mkdir(path, 0777); }

bool IsAbsolutePath(const std::string& path) { return !path.empty() && path[0] == '/'; }

bool IsSuperuser() { return geteuid() == 0; }

int NewFileMode() {
  mode_t mask = umask(0);
  umask(mask);
  return static_cast<int>(0666 & ~mask);
}

void CopyPermissions(const char* path, const struct stat& from) {
  chmod(path, from.st_mode & 07777);
  // Keep the owner of a file that root rewrites for someone else; the contents matter more.
  if (IsSuperuser() && chown(path, from.st_uid, from.st_gid) != 0) errno = 0;
}

bool CanCreateIn(const std::string& folder) { return access(folder.c_str(), W_OK | X_OK) == 0; }

int MakeTemporaryFile(std::string& pattern) {
  int fd = mkostemp(pattern.data(), O_CLOEXEC);
  return fd;
}

}  // namespace os
