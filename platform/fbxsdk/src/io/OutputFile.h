// A file written under a temporary name and renamed into place when complete,
// so a reader never sees half a file.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace fbxsdk::io {

class OutputFile {
public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool Open(const std::string& path, std::string& error);
  bool Write(const void* data, size_t size);
  // Renames the finished file into place; on failure nothing is left behind.
  bool Commit(std::string& error);

private:
  std::string path_;
  std::string temporary_;
  std::FILE* file_ = nullptr;
  bool failed_ = false;
};

// True when a file can be created at path (its folder exists and is writable).
bool CanCreate(const std::string& path, std::string& error);

}  // namespace fbxsdk::io
