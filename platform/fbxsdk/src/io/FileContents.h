// A whole file mapped read-only into memory, whose consumed pages can be given back early.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fbxsdk::io {

class FileContents {
public:
  FileContents() = default;
  ~FileContents() { Close(); }
  FileContents(const FileContents&) = delete;
  FileContents& operator=(const FileContents&) = delete;

  // On failure, error holds the reason.
  bool Open(const char* path, std::string& error);
  void Close();
  const uint8_t* Data() const { return data_; }
  size_t Size() const { return size_; }
  // Drops the pages before this offset from memory; a parser calls it as it moves on.
  void ReleaseBefore(size_t offset);

private:
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t released_ = 0;
  bool mapped_ = false;
};

}  // namespace fbxsdk::io
