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
  int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = std::string("cannot open '") + path + "': " + std::strerror(errno);
    return false;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error = std::string("'") + path + "' is not a regular file";
    ::close(fd);
    return false;
  }
  mSize = static_cast<size_t>(info.st_size);
  if (mSize == 0) {
    ::close(fd);
    return true;
  }
  void* mapped = mmap(nullptr, mSize, PROT_READ, MAP_PRIVATE, fd, 0);
  ::close(fd);
  if (mapped == MAP_FAILED) {
    error = std::string("cannot map '") + path + "': " + std::strerror(errno);
    mSize = 0;
    return false;
  }
  madvise(mapped, mSize, MADV_SEQUENTIAL);
  mData = static_cast<uint8_t*>(mapped);
  mMapped = true;
  return true;
}

void FileContents::Close() {
  if (mMapped) munmap(mData, mSize);
  mData = nullptr;
  mSize = 0;
  mReleased = 0;
  mMapped = false;
}

void FileContents::ReleaseBefore(size_t offset) {
  if (!mMapped) return;
  size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  size_t upTo = offset / page * page;
  // Give pages back in large steps; each call is a system call.
  if (offset >= mSize)
    upTo = (mSize + page - 1) / page * page;  // all of it: the mapping's tail page too
  else if (upTo <= mReleased + (size_t(8) << 20))
    return;
  if (upTo <= mReleased) return;
  madvise(mData + mReleased, upTo - mReleased, MADV_DONTNEED);
  mReleased = upTo;
}

}  // namespace fbxsdk::io
