#include "RegistryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <vector>

#include "KnownPaths.h"
#include "common/OsFiles.h"
#include "common/SafeReplace.h"

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

private:
  int fd_;
};

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.find_last_of(os::kPathSeparators);
  if (slash == std::string::npos) return ".";
  return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

// mkdir -p; true when the folder exists afterwards.
bool CreateFolders(const std::string& folder) {
  struct stat info {};
  if (stat(folder.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
  std::string parent = FolderOf(folder);
  if (parent != folder && !CreateFolders(parent)) return false;
  return os::MakeFolder(folder.c_str()) == 0 || errno == EEXIST;
}

struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  long long modified = 0, changed = 0;  // nanoseconds
  bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const struct stat& info) {
  return {info.st_dev, info.st_ino, info.st_size, os::ModifiedNanoseconds(info), os::ChangedNanoseconds(info)};
}

struct FileRead {
  enum Status { Read, Missing, Unusable } status = Missing;
  std::string text;
  std::string reason;  // why an existing file could not be read whole
  FileIdentity identity;
};

FileRead ReadWhole(const std::string& path) {
  FileRead result;
  // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below.
  Descriptor fd(os::OpenFile(path.c_str(), O_RDONLY | os::kOpenNonBlocking));
  if (fd.get() < 0) {
    if (errno == ENOENT) return result;
    result.status = FileRead::Unusable;
    result.reason = errno == EISDIR ? "it is a folder" : std::strerror(errno);
    return result;
  }
  struct stat info {};
  result.status = FileRead::Unusable;
  if (fstat(fd.get(), &info) != 0) {
    result.reason = std::strerror(errno);
    return result;
  }
  if (S_ISDIR(info.st_mode)) {
    result.reason = "it is a folder";
    return result;
  }
  if (!S_ISREG(info.st_mode)) {
    result.reason = "it is not a regular file";
    return result;
  }
  if (info.st_size > RegistryFile::MaxFileSize) {
    result.reason = "it is larger than " + std::to_string(RegistryFile::MaxFileSize >> 20) + " MiB";
    return result;
  }
  result.identity = IdentityOf(info);
  std::string text;
  text.reserve(static_cast<std::size_t>(info.st_size));
  std::vector<char> buffer(64 * 1024);
  for (;;) {
    ssize_t got = read(fd.get(), buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      result.reason = std::strerror(errno);
      return result;
    }
    if (got == 0) break;
    text.append(buffer.data(), static_cast<std::size_t>(got));
    if (static_cast<long long>(text.size()) > RegistryFile::MaxFileSize) {
      result.reason = "it is larger than " + std::to_string(RegistryFile::MaxFileSize >> 20) + " MiB";
      return result;
    }
  }
  result.status = FileRead::Read;
  result.text = std::move(text);
  return result;
}

bool LockExclusive(int fd) { return os::LockFile(fd, true, true) == 0; }

// What this process knows beyond the file: the last document read (reused
// while the file is unchanged, so reading nineteen settings parses it once),
// the changes kept in memory for files that cannot be written, and which
// files the user was already told about.
struct SessionState {
  std::mutex mutex;
  std::string cachedPath;
  FileIdentity cachedIdentity;
  std::optional<RegistryDocument> cached;
  std::map<std::string, RegistryDocument> inMemory;
  std::set<std::string> told;
};

SessionState& Session() {
  static SessionState* state = new SessionState;  // never destroyed: used until the process ends
  return *state;
}

void TellOnce(SessionState& session, const std::string& path, const std::string& reason) {
  if (!session.told.insert(path).second) return;
  std::fprintf(stderr,
               "Hash Animator: the settings file '%s' is left as it is: %s. Settings changed now are kept until the "
               "program ends.\n",
               path.c_str(), reason.c_str());
}

// The document of the file at `path`, kept in the session while the file is
// unchanged (the caller may change it, and then drops it with Forget); null
// when the file cannot be read whole.
RegistryDocument* LoadDocument(SessionState& session, const std::string& path, FileRead* read) {
  struct stat info {};
  if (session.cached && session.cachedPath == path && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
      IdentityOf(info) == session.cachedIdentity) {
    if (read) read->status = FileRead::Read;
    return &*session.cached;
  }
  session.cached.reset();
  FileRead result = ReadWhole(path);
  if (result.status == FileRead::Unusable) {
    TellOnce(session, path, result.reason);
    if (read) *read = std::move(result);
    return nullptr;
  }
  session.cached = RegistryDocument::Parse(result.text);
  // A missing file is cached under no identity: the next call looks again.
  session.cachedPath = result.status == FileRead::Read ? path : std::string();
  session.cachedIdentity = result.identity;
  if (read) read->status = result.status;
  return &*session.cached;
}

void Forget(SessionState& session) { session.cached.reset(); }

}  // namespace

std::string RegistryFile::Path() {
  const char* overridden = std::getenv("HASH_REGISTRY_FILE");
  if (overridden && *overridden) return overridden;
  const char separator = os::kPathSeparator;
  return ConfigFolder() + separator + "hash-animator" + separator + "registry.ini";
}

std::optional<std::string> RegistryFile::Find(const std::string& section, const std::string& key) {
  SessionState& session = Session();
  std::lock_guard<std::mutex> guard(session.mutex);
  std::string path = Path();
  auto memory = session.inMemory.find(path);
  if (memory != session.inMemory.end()) {
    if (std::optional<std::string> value = memory->second.Find(section, key)) return value;
  }
  const RegistryDocument* document = LoadDocument(session, path, nullptr);
  return document ? document->Find(section, key) : std::nullopt;
}

bool RegistryFile::Update(const std::function<bool(RegistryDocument&)>& change) {
  SessionState& session = Session();
  std::lock_guard<std::mutex> guard(session.mutex);
  std::string path = Path();
  auto keepInMemory = [&](const std::string& reason) {
    change(session.inMemory[path]);
    TellOnce(session, path, reason);
    return false;
  };
  // Once a change could not be written, the file is left alone for the session.
  if (session.inMemory.count(path)) return keepInMemory("it could not be updated");
  if (!CreateFolders(FolderOf(path))) return keepInMemory("its folder cannot be created");
  const std::string lockPath = path + ".lock";
  Descriptor lock(os::OpenFile(lockPath.c_str(), O_RDWR | O_CREAT, 0644));
  // The lock file is named, not the settings file, when it is what stands in the way.
  if (lock.get() < 0)
    return keepInMemory(
        "its lock file '" + lockPath + "' " +
        (errno == EISDIR ? std::string("is a folder") : "cannot be opened: " + std::string(std::strerror(errno))));
  if (!LockExclusive(lock.get()))
    return keepInMemory("its lock file '" + lockPath + "' cannot be locked: " + std::strerror(errno));

  std::string error;
  std::string target = safereplace::ResolveLinks(path, error);
  // Every writer holds the lock while its temporary file exists: any seen now is a killed write's.
  if (!target.empty()) safereplace::RemoveStaleTemporaries(target, 0);

  FileRead read;
  RegistryDocument* document = LoadDocument(session, path, &read);
  if (!document) return keepInMemory(read.reason);
  if (!change(*document)) return true;  // nothing changed: nothing to write
  std::string text = document->Serialize();
  // The changed document is not the file's until it is in place; read it again next time.
  Forget(session);
  if (!safereplace::ReplaceFile(path, text, error)) {
    // The message names the path; drop the duplicate.
    std::string prefix = "cannot write '" + path + "': ";
    if (error.compare(0, prefix.size(), prefix) == 0) error.erase(0, prefix.size());
    return keepInMemory(error);
  }
  return true;
  // The lock goes with the descriptor.
}

}  // namespace fileio
