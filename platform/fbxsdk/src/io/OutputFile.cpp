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
  mFailed = false;
  mBuffer.clear();
  mOpen = mFile.Open(path, error);
  if (mOpen) mBuffer.reserve(kChunk);
  return mOpen;
}

bool OutputFile::Flush() {
  if (!mBuffer.empty() && !mFile.Write(mBuffer)) mFailed = true;
  mBuffer.clear();
  return !mFailed;
}

bool OutputFile::Write(const void* data, size_t size) {
  if (!mOpen || mFailed) return false;
  if (mBuffer.size() + size > kChunk && !Flush()) return false;
  if (size >= kChunk) {
    if (!mFile.Write(data, size)) mFailed = true;
    return !mFailed;
  }
  mBuffer.append(static_cast<const char*>(data), size);
  return true;
}

bool OutputFile::Commit(std::string& error) {
  if (!mOpen) {
    error = "no file open";
    return false;
  }
  mOpen = false;
  Flush();  // a failed write is reported by the commit
  return mFile.Commit(error);
}

}  // namespace fbxsdk::io
