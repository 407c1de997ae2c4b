#include "FileContents.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace fbxsdk::io {

bool FileContents::Open(const char* path, std::string& error) {
  Close();
  int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);  // a FIFO must not block
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
  void* mapped = mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
  ::close(fd);
  if (mapped == MAP_FAILED) {
    error = std::string("cannot map '") + path + "': " + std::strerror(errno);
    size_ = 0;
    return false;
  }
  madvise(mapped, size_, MADV_SEQUENTIAL);
  data_ = static_cast<uint8_t*>(mapped);
  mapped_ = true;
  return true;
}

void FileContents::Close() {
  if (mapped_) munmap(data_, size_);
  data_ = nullptr;
  size_ = 0;
  released_ = 0;
  mapped_ = false;
}

void FileContents::ReleaseBefore(size_t offset) {
  if (!mapped_) return;
  size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  size_t upTo = offset / page * page;
  // Give pages back in large steps; each call is a system call.
  if (offset >= size_)
    upTo = (size_ + page - 1) / page * page;  // all of it: the mapping's tail page too
  else if (upTo <= released_ + (size_t(8) << 20))
    return;
  if (upTo <= released_) return;
  madvise(data_ + released_, upTo - released_, MADV_DONTNEED);
  released_ = upTo;
}

}  // namespace fbxsdk::io
