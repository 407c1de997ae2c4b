#include "OutputFile.h"

#include <algorithm>
#include <cstring>

namespace fbxsdk::io {

namespace {
constexpr size_t kChunk = 1 << 20;
}  // namespace

bool CanCreate(const std::string& path, std::string& error) {
  if (!path.empty() && path.back() == '/') {
    error = "'" + path + "' names a folder, not a file";
    return false;
  }
  return safereplace::CanReplace(path, error);
}

bool OutputFile::Open(const std::string& path, std::string& error) {
  failed_ = false;
  buffer_.clear();
  flushed_ = 0;
  open_ = file_.Open(path, error);
  if (open_) buffer_.reserve(kChunk);
  return open_;
}

bool OutputFile::Flush() {
  if (!buffer_.empty() && !file_.Write(buffer_)) failed_ = true;
  flushed_ += buffer_.size();
  buffer_.clear();
  return !failed_;
}

bool OutputFile::Write(const void* data, size_t size) {
  if (!open_ || failed_) return false;
  if (buffer_.size() + size > kChunk && !Flush()) return false;
  if (size >= kChunk) {
    if (!file_.Write(data, size)) failed_ = true;
    flushed_ += size;
    return !failed_;
  }
  buffer_.append(static_cast<const char*>(data), size);
  return true;
}

bool OutputFile::WriteAt(uint64_t offset, const void* data, size_t size) {
  if (!open_ || failed_) return false;
  if (offset > Size() || size > Size() - offset) {
    failed_ = true;  // only what was written can be overwritten
    return false;
  }
  const char* bytes = static_cast<const char*>(data);
  // The part that reached the file is written there; the rest is still in the buffer.
  if (offset < flushed_) {
    size_t inFile = static_cast<size_t>(std::min<uint64_t>(size, flushed_ - offset));
    if (!file_.WriteAt(offset, bytes, inFile)) failed_ = true;
    bytes += inFile;
    size -= inFile;
    offset += inFile;
  }
  if (size) std::memcpy(buffer_.data() + (offset - flushed_), bytes, size);
  return !failed_;
}

bool OutputFile::Commit(std::string& error) {
  if (!open_) {
    error = "no file open";
    return false;
  }
  open_ = false;
  Flush();  // a failed write is reported by the commit
  return file_.Commit(error);
}

}  // namespace fbxsdk::io
