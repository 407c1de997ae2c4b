#include "RegistryFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "KnownPaths.h"

namespace fileio {

namespace {

// Closes a descriptor when the scope ends.
class Descriptor {
public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

private:
  int fd_;
};

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// mkdir -p; true when the folder exists afterwards.
bool CreateFolders(const std::string& folder) {
  struct stat info {};
  if (stat(folder.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
  std::string parent = FolderOf(folder);
  if (parent != folder && !CreateFolders(parent)) return false;
  return mkdir(folder.c_str(), 0755) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t written = write(fd, text.data() + done, text.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(written);
  }
  return true;
}

std::optional<std::string> ReadAll(const std::string& path) {
  Descriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return std::nullopt;
  struct stat info {};
  if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > RegistryFile::MaxFileSize)
    return std::nullopt;
  std::string text;
  std::vector<char> buffer(64 * 1024);
  for (;;) {
    ssize_t got = read(fd.get(), buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (got == 0) break;
    text.append(buffer.data(), static_cast<std::size_t>(got));
    if (static_cast<long long>(text.size()) > RegistryFile::MaxFileSize) return std::nullopt;
  }
  return text;
}

bool LockExclusive(int fd) {
  while (flock(fd, LOCK_EX) != 0)
    if (errno != EINTR) return false;
  return true;
}

// Writes `text` to a fresh file beside `path`, flushes it to disk and renames
// it over `path`, so readers see the old file or the new one, never a mix.
bool ReplaceAtomically(const std::string& path, const std::string& text) {
  std::string temporary = path + ".XXXXXX";
  Descriptor fd(mkstemp(temporary.data()));
  if (fd.get() < 0) return false;
  struct stat old {};
  fchmod(fd.get(), stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
  bool ok = WriteAll(fd.get(), text) && fsync(fd.get()) == 0;
  ok = close(fd.release()) == 0 && ok;
  if (ok) ok = rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) {
    unlink(temporary.c_str());
    return false;
  }
  // Make the rename itself durable.
  Descriptor folder(open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.get() >= 0) fsync(folder.get());
  return true;
}

}  // namespace

std::string RegistryFile::Path() {
  const char* overridden = std::getenv("HASH_REGISTRY_FILE");
  if (overridden && *overridden) return overridden;
  return ConfigFolder() + "/hash-animator/registry.ini";
}

RegistryDocument RegistryFile::Load() {
  std::optional<std::string> text = ReadAll(Path());
  return text ? RegistryDocument::Parse(*text) : RegistryDocument();
}

bool RegistryFile::Update(const std::function<void(RegistryDocument&)>& change) {
  std::string path = Path();
  if (!CreateFolders(FolderOf(path))) return false;
  Descriptor lock(open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
  if (lock.get() < 0 || !LockExclusive(lock.get())) return false;
  std::optional<std::string> text = ReadAll(path);
  RegistryDocument document = text ? RegistryDocument::Parse(*text) : RegistryDocument();
  change(document);
  return ReplaceAtomically(path, document.Serialize());
  // The lock goes with the descriptor.
}

}  // namespace fileio
