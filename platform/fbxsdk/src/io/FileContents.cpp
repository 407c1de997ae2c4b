#include "FileContents.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <common/OsFiles.h>
#include <common/OsMemory.h>

namespace fbxsdk::io {

bool FileContents::Open(const char* path, std::string& error) {
  Close();
  int fd = os::OpenFile(path, O_RDONLY | os::kOpenNonBlocking);  // a FIFO must not block
  if (fd < 0) {
    error = std::string("cannot open '") + path + "': " + std::strerror(errno);
    return false;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error = std::string("'") + path + (S_ISDIR(info.st_mode) ? "' is a directory" : "' is not a regular file");
    ::close(fd);
    return false;
  }
  size_ = static_cast<size_t>(info.st_size);
  if (size_ == 0) {
    ::close(fd);
    return true;
  }
  void* mapped = os::MapFile(fd, size_);
  ::close(fd);
  if (!mapped) {
    error = std::string("cannot map '") + path + "': " + std::strerror(errno);
    size_ = 0;
    return false;
  }
  data_ = static_cast<uint8_t*>(mapped);
  mapped_ = true;
  return true;
}

void FileContents::Close() {
  if (mapped_) os::UnmapFile(data_, size_);
  data_ = nullptr;
  size_ = 0;
  released_ = 0;
  mapped_ = false;
}

void FileContents::ReleaseBefore(size_t offset) {
  if (!mapped_) return;
  size_t page = os::PageSize();
  size_t upTo = offset / page * page;
  // Give pages back in large steps; each call is a system call.
  if (offset >= size_)
    upTo = (size_ + page - 1) / page * page;  // all of it: the mapping's tail page too
  else if (upTo <= released_ + (size_t(8) << 20))
    return;
  if (upTo <= released_) return;
  os::DropPages(data_ + released_, upTo - released_);
  released_ = upTo;
}

}  // namespace fbxsdk::io
