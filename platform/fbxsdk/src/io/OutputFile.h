// A file written under a temporary name and renamed into place when complete,
// so a reader never sees half a file; a linked file is written through, its
// mode is kept, and read-only or non-regular files are refused with a reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/SafeReplace.h"

namespace fbxsdk::io {

class OutputFile {
public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool Open(const std::string& path, std::string& error);
  bool Write(const void* data, size_t size);
  // Overwrites bytes already written, counted from the file's start: a record header filled in
  // once the record is complete.
  bool WriteAt(uint64_t offset, const void* data, size_t size);
  uint64_t Size() const { return flushed_ + buffer_.size(); }
  // Whether every write so far went through.
  bool Ok() const { return open_ && !failed_; }
  // Renames the finished file into place; on failure nothing is left behind.
  bool Commit(std::string& error);

private:
  bool Flush();

  safereplace::ReplacementFile file_;
  std::string buffer_;    // the writers emit small pieces; the file gets large ones
  uint64_t flushed_ = 0;  // bytes in the file before the buffer's
  bool open_ = false;
  bool failed_ = false;
};

// True when the file at path can be written (its folder exists and is
// writable, and what stands there may be replaced); false with the reason.
bool CanCreate(const std::string& path, std::string& error);

}  // namespace fbxsdk::io
