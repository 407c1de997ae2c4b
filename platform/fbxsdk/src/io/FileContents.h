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
  const uint8_t* Data() const { return mData; }
  size_t Size() const { return mSize; }
  // Drops the pages before this offset from memory; a parser calls it as it moves on.
  void ReleaseBefore(size_t offset);

private:
  uint8_t* mData = nullptr;
  size_t mSize = 0;
  size_t mReleased = 0;
  bool mMapped = false;
};

}  // namespace fbxsdk::io
