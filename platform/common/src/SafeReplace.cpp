#include "common/SafeReplace.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/OsFiles.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <vector>

namespace safereplace {

namespace {

constexpr int kMaxLinkDepth = 40;
// A temporary file this old belongs to no writer still at work.
constexpr long long kStaleAfterSeconds = 3600;
constexpr char kTemporaryInfix[] = ".tmp-";
constexpr char kUniquePart[] = "XXXXXX";  // replaced by the system's unique characters

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.find_last_of(os::kPathSeparators);
  if (slash == std::string::npos) return ".";
  return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  std::size_t slash = path.find_last_of(os::kPathSeparators);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

std::string Reason(int error) {
  // A file held open by another program (Windows renames over none).
  if (error == EBUSY) return "another program has it open";
  return std::strerror(error ? error : EIO);
}

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

std::string TemporaryPattern(const std::string& target) {
  return FolderOf(target) + os::kPathSeparator + "." + NameOf(target) + kTemporaryInfix + kUniquePart;
}

std::string ResolveLinks(const std::string& path, std::string& error) {
  std::string current = path;
  for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
    std::string link;
    if (!os::ReadLink(current.c_str(), link)) return current;
    current = os::IsAbsolutePath(link) ? link : FolderOf(current) + os::kPathSeparator + link;
  }
  error = "cannot write " + Quoted(path) + ": too many levels of symbolic links";
  errno = ELOOP;
  return std::string();
}

ReplacementFile::~ReplacementFile() { Discard(); }

void ReplacementFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
}

namespace {

// What stands at a path and how it is to be written.
struct TargetInfo {
  std::string path;  // after following symbolic links
  bool exists = false;
  bool direct = false;  // a device or FIFO written in place
  int mode = 0;
  struct stat facts {};  // of the existing file
};

bool CheckTarget(const std::string& path, const Options& options, TargetInfo& target, std::string& error) {
  if (path.empty()) {
    error = "no file name given";
    errno = ENOENT;
    return false;
  }
  target.path = ResolveLinks(path, error);
  if (target.path.empty()) return false;
  struct stat info {};
  target.exists = stat(target.path.c_str(), &info) == 0;
  if (!target.exists && errno != ENOENT) {
    int cause = errno;
    error = "cannot write " + Quoted(path) + ": " + Reason(cause);
    errno = cause;
    return false;
  }
  target.mode = os::NewFileMode();
  if (!target.exists) return true;
  if (S_ISDIR(info.st_mode)) {
    error = "cannot write " + Quoted(path) + ": it is a folder";
    errno = EISDIR;
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    if (!options.allowDirect) {
      error = "cannot write " + Quoted(path) + ": it is not a regular file";
      errno = EINVAL;
      return false;
    }
    target.direct = true;
    return true;
  }
  // Root may write anything; a file nobody may write is still meant to stay as it is.
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || access(target.path.c_str(), W_OK) != 0) {
    error = "cannot write " + Quoted(path) + ": the file is read-only";
    errno = EACCES;
    return false;
  }
  target.mode = static_cast<int>(info.st_mode & 07777);
  target.facts = info;
  return true;
}

}  // namespace

bool CanReplace(const std::string& path, std::string& error, Options options) {
  TargetInfo target;
  if (!CheckTarget(path, options, target, error)) return false;
  if (!target.direct && !os::CanCreateIn(FolderOf(target.path))) {
    error = "cannot write " + Quoted(path) + ": " + Reason(errno);
    return false;
  }
  return true;
}

bool ReplacementFile::Open(const std::string& path, std::string& error, Options options) {
  Discard();
  path_ = path;
  options_ = options;
  direct_ = false;
  error_ = 0;
  TargetInfo target;
  if (!CheckTarget(path, options, target, error)) return false;
  target_ = target.path;
  if (target.direct) {
    fd_ = os::OpenFile(target_.c_str(), O_WRONLY);
    if (fd_ < 0) {
      error = "cannot write " + Quoted(path) + ": " + Reason(errno);
      return false;
    }
    direct_ = true;
    return true;
  }
  RemoveStaleTemporaries(target_, kStaleAfterSeconds);
  std::string pattern = TemporaryPattern(target_);
  fd_ = os::MakeTemporaryFile(pattern);
  if (fd_ < 0) {
    error = "cannot write " + Quoted(path) + ": " + Reason(errno);
    return false;
  }
  temporary_ = pattern;
  // The temporary file is private until now: it gets the replaced file's owner and permissions, or a new
  // file's, never wider than the caller allows.
  if (target.exists) os::CopyPermissions(temporary_.c_str(), target.facts);
  chmod(temporary_.c_str(), static_cast<mode_t>(static_cast<unsigned>(target.mode) & options.mostMode));
  return true;
}

bool ReplacementFile::Write(const void* data, std::size_t size) {
  if (fd_ < 0) return false;
  if (error_) return false;
  if (size && !WriteAll(fd_, static_cast<const char*>(data), size)) error_ = errno ? errno : EIO;
  return error_ == 0;
}

bool ReplacementFile::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
  if (fd_ < 0 || error_) return false;
  if (direct_) {
    error_ = ESPIPE;
    return false;
  }
  if (size && !os::WriteAt(fd_, data, size, offset)) error_ = errno ? errno : EIO;
  return error_ == 0;
}

bool ReplacementFile::Commit(std::string& error) {
  if (fd_ < 0) {
    error = "cannot write " + Quoted(path_) + ": no file open";
    return false;
  }
  int failure = error_;
  if (!failure && options_.durable && !direct_ && os::SyncFile(fd_) != 0) failure = errno;
  if (::close(fd_) != 0 && !failure) failure = errno;
  fd_ = -1;
  if (!failure && !direct_ && os::MoveReplacing(temporary_.c_str(), target_.c_str()) != 0) failure = errno;
  if (failure) {
    Discard();
    error = "cannot write " + Quoted(path_) + ": " + Reason(failure);
    return false;
  }
  temporary_.clear();
  if (options_.durable && !direct_) os::SyncFolder(FolderOf(target_));  // makes the rename itself durable
  return true;
}

bool ReplaceFile(const std::string& path, std::string_view contents, std::string& error, Options options) {
  ReplacementFile file;
  if (!file.Open(path, error, options)) return false;
  file.Write(contents);  // Commit reports a failed write
  return file.Commit(error);
}

bool MoveOver(const std::string& source, const std::string& target, std::string& error, Options options) {
  options.allowDirect = false;  // a device or FIFO cannot be renamed over
  struct stat sourceInfo {};
  if (stat(source.c_str(), &sourceInfo) != 0) {
    int cause = errno;
    error = "cannot read " + Quoted(source) + ": " + Reason(cause);
    errno = cause;
    return false;
  }
  if (!S_ISREG(sourceInfo.st_mode)) {
    error = "cannot move " + Quoted(source) + ": it is not a regular file";
    errno = EINVAL;
    return false;
  }
  TargetInfo info;
  if (!CheckTarget(target, options, info, error)) return false;
  if (info.exists) os::CopyPermissions(source.c_str(), info.facts);
  if (options.durable) {
    int fd = os::OpenFile(source.c_str(), O_RDONLY);
    if (fd >= 0) {
      os::SyncFile(fd);
      ::close(fd);
    }
  }
  if (os::MoveReplacing(source.c_str(), info.path.c_str()) == 0) {
    if (options.durable) os::SyncFolder(FolderOf(info.path));
    return true;
  }
  if (errno != EXDEV) {
    int cause = errno;
    error = "cannot write " + Quoted(target) + ": " + Reason(cause);
    errno = cause;
    return false;
  }
  // The link leads to another file system: copy there, then drop the source.
  ReplacementFile copy;
  if (!copy.Open(target, error, options)) return false;
  int fd = os::OpenFile(source.c_str(), O_RDONLY);
  if (fd < 0) {
    error = "cannot read " + Quoted(source) + ": " + Reason(errno);
    return false;
  }
  std::vector<char> buffer(1 << 16);
  ssize_t got = 0;
  while ((got = ::read(fd, buffer.data(), buffer.size())) > 0) copy.Write(buffer.data(), static_cast<std::size_t>(got));
  int readError = got < 0 ? errno : 0;
  ::close(fd);
  if (readError) {
    error = "cannot read " + Quoted(source) + ": " + Reason(readError);
    return false;
  }
  if (!copy.Commit(error)) return false;
  unlink(source.c_str());
  return true;
}

bool IsTemporaryName(const std::string& fileName) {
  constexpr std::size_t kInfixLength = sizeof kTemporaryInfix - 1;
  constexpr std::size_t kUniqueLength = sizeof kUniquePart - 1;
  if (fileName.size() < 2 + kInfixLength + kUniqueLength || fileName[0] != '.') return false;
  const std::size_t infix = fileName.size() - kUniqueLength - kInfixLength;
  return fileName.compare(infix, kInfixLength, kTemporaryInfix) == 0;
}

int RemoveStaleTemporaries(const std::string& target, long long minimumAgeSeconds) {
  std::string folder = FolderOf(target);
  std::string prefix = "." + NameOf(target) + kTemporaryInfix;
  DIR* listing = opendir(folder.c_str());
  if (!listing) return 0;
  int removed = 0;
  std::time_t now = std::time(nullptr);
  while (dirent* entry = readdir(listing)) {
    std::string name = entry->d_name;
    if (name.size() != prefix.size() + sizeof kUniquePart - 1 || name.compare(0, prefix.size(), prefix) != 0) continue;
    std::string path = folder + os::kPathSeparator + name;
    struct stat info {};
    if (os::IsSymbolicLink(path.c_str()) || stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    // File times come from a finer clock than time(), so a file written this
    // instant may look a second younger than zero; an age of zero means any.
    if (minimumAgeSeconds > 0 && now - info.st_mtime < minimumAgeSeconds) continue;
    if (unlink(path.c_str()) == 0) ++removed;
  }
  closedir(listing);
  return removed;
}

}  // namespace safereplace
