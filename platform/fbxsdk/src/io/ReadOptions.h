// What a reader is told besides the bytes: how to give consumed input back, where to note
// what it skipped, and which arrays it may leave unread.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace fbxsdk::io {

struct FbxRecord;

// Called with the number of bytes from the start that the parser no longer needs.
using ReleaseConsumed = std::function<void(size_t)>;

// What a reader skipped and where, for the user to see why something is missing. A hostile file
// could make millions; past a limit only their number is kept.
class ReadWarnings {
public:
  void Add(std::string text);
  // The warnings in the order they arose, with a closing count of those left out.
  std::vector<std::string> List() const;
  bool Empty() const { return items_.empty(); }

private:
  static constexpr size_t kLimit = 100;
  std::vector<std::string> items_;
  size_t leftOut_ = 0;
};

struct ReadOptions {
  ReleaseConsumed release;
  ReadWarnings* warnings = nullptr;
  // Normals, tangents, binormals, edges and smoothing are not part of the scene objects; their
  // arrays are skipped by their extent unless asked for (the fuzzer asks, to check them).
  bool unexposedArrays = false;
  // Called with each entry of the file's first Objects and first Connections sections (section
  // names which) as soon as it is read whole, its arrays inflated; setting taken hands the record
  // over and the parser drops it, so a large file is never held whole as records. False stops the
  // reading, with the error already given.
  std::function<bool(std::string_view section, FbxRecord& entry, bool& taken)> takeRecord;

  void Warn(std::string text) const {
    if (warnings) warnings->Add(std::move(text));
  }
};

// Whether a record of this name holds an array the scene objects never expose.
bool IsUnexposedArray(std::string_view recordName);

}  // namespace fbxsdk::io
