#include "OutputFile.h"

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
  open_ = file_.Open(path, error);
  if (open_) buffer_.reserve(kChunk);
  return open_;
}

bool OutputFile::Flush() {
  if (!buffer_.empty() && !file_.Write(buffer_)) failed_ = true;
  buffer_.clear();
  return !failed_;
}

bool OutputFile::Write(const void* data, size_t size) {
  if (!open_ || failed_) return false;
  if (buffer_.size() + size > kChunk && !Flush()) return false;
  if (size >= kChunk) {
    if (!file_.Write(data, size)) failed_ = true;
    return !failed_;
  }
  buffer_.append(static_cast<const char*>(data), size);
  return true;
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
