#pragma once

#include <cstdint>

#include <FileIO/String.h>

namespace pigmora {

// What the receive knows of one file of Pigmora's answer pair: whether it is
// there, and its size and modification time, so a change can be noticed.
struct AnswerFileStamp {
  bool exists = false;
  std::int64_t size = 0;
  std::int64_t modifiedNs = 0;  // since the file clock's epoch
  std::int64_t ageNs = 0;       // how long ago it was modified, at the moment of stamping

  bool operator==(const AnswerFileStamp& other) const {
    return exists == other.exists && size == other.size && modifiedNs == other.modifiedNs;
  }
};

struct AnswerPairStamp {
  AnswerFileStamp exportFile;
  AnswerFileStamp texturesFile;

  bool Complete() const { return exportFile.exists && texturesFile.exists; }
  bool operator==(const AnswerPairStamp& other) const {
    return exportFile == other.exportFile && texturesFile == other.texturesFile;
  }
  bool operator!=(const AnswerPairStamp& other) const { return !(*this == other); }
};

AnswerPairStamp StampAnswerPair(const String& exportPath, const String& texturesPath);

}  // namespace pigmora
