#include "OutputFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace fbxsdk::io {

namespace {
std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}
}  // namespace

bool CanCreate(const std::string& path, std::string& error) {
  if (path.empty()) {
    error = "no file name given";
    return false;
  }
  if (path.back() == '/') {
    error = "'" + path + "' names a folder, not a file";
    return false;
  }
  std::string folder = FolderOf(path);
  if (access(folder.c_str(), W_OK | X_OK) != 0) {
    error = "cannot create '" + path + "': " + std::strerror(errno);
    return false;
  }
  return true;
}

OutputFile::~OutputFile() {
  if (file_) {
    std::fclose(file_);
    std::remove(temporary_.c_str());
  }
}

bool OutputFile::Open(const std::string& path, std::string& error) {
  path_ = path;
  std::string pattern = path + ".partXXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back(0);
  int fd = mkstemp(name.data());
  if (fd < 0) {
    error = "cannot create '" + path + "': " + std::strerror(errno);
    return false;
  }
  temporary_ = name.data();
  file_ = fdopen(fd, "wb");
  if (!file_) {
    error = "cannot write '" + path + "': " + std::strerror(errno);
    ::close(fd);
    std::remove(temporary_.c_str());
    return false;
  }
  std::setvbuf(file_, nullptr, _IOFBF, 1 << 20);
  return true;
}

bool OutputFile::Write(const void* data, size_t size) {
  if (!file_ || failed_) return false;
  if (size && std::fwrite(data, 1, size, file_) != size) failed_ = true;
  return !failed_;
}

bool OutputFile::Commit(std::string& error) {
  if (!file_) {
    error = "no file open";
    return false;
  }
  int saved = 0;
  bool ok = !failed_;
  if (!ok) saved = errno;
  if (std::fclose(file_) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  file_ = nullptr;
  // mkstemp creates the file private to its owner; give it the usual permissions.
  if (ok) {
    mode_t mask = umask(0);
    umask(mask);
    chmod(temporary_.c_str(), 0666 & ~mask);
  }
  if (ok && std::rename(temporary_.c_str(), path_.c_str()) != 0) {
    ok = false;
    saved = errno;
  }
  if (!ok) {
    std::remove(temporary_.c_str());
    error = "cannot write '" + path_ + "': " + std::strerror(saved ? saved : EIO);
  }
  return ok;
}

}  // namespace fbxsdk::io
