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
  if (mFile) {
    std::fclose(mFile);
    std::remove(mTemporary.c_str());
  }
}

bool OutputFile::Open(const std::string& path, std::string& error) {
  mPath = path;
  std::string pattern = path + ".partXXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back(0);
  int fd = mkstemp(name.data());
  if (fd < 0) {
    error = "cannot create '" + path + "': " + std::strerror(errno);
    return false;
  }
  mTemporary = name.data();
  mFile = fdopen(fd, "wb");
  if (!mFile) {
    error = "cannot write '" + path + "': " + std::strerror(errno);
    ::close(fd);
    std::remove(mTemporary.c_str());
    return false;
  }
  std::setvbuf(mFile, nullptr, _IOFBF, 1 << 20);
  return true;
}

bool OutputFile::Write(const void* data, size_t size) {
  if (!mFile || mFailed) return false;
  if (size && std::fwrite(data, 1, size, mFile) != size) mFailed = true;
  return !mFailed;
}

bool OutputFile::Commit(std::string& error) {
  if (!mFile) {
    error = "no file open";
    return false;
  }
  int saved = 0;
  bool ok = !mFailed;
  if (!ok) saved = errno;
  if (std::fclose(mFile) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  mFile = nullptr;
  // mkstemp creates the file private to its owner; give it the usual permissions.
  if (ok) {
    mode_t mask = umask(0);
    umask(mask);
    chmod(mTemporary.c_str(), 0666 & ~mask);
  }
  if (ok && std::rename(mTemporary.c_str(), mPath.c_str()) != 0) {
    ok = false;
    saved = errno;
  }
  if (!ok) {
    std::remove(mTemporary.c_str());
    error = "cannot write '" + mPath + "': " + std::strerror(saved ? saved : EIO);
  }
  return ok;
}

}  // namespace fbxsdk::io
