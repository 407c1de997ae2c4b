// Inflates the zlib-compressed arrays of a binary file, whole buffers at a time, spread over the
// machine's cores: the arrays are independent, and inflating is most of a binary read's work.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fbxsdk::io {

// Reverses each width-byte element: big-endian files on this little-endian machine.
void SwapBytes(uint8_t* p, size_t count, size_t width);

class ArrayInflater {
public:
  struct Job {
    const uint8_t* in;
    size_t inSize;
    uint8_t* out;
    size_t outSize;
    size_t swapWidth;   // 1: keep the bytes as they are
    std::string error;  // what to say when it does not inflate to exactly outSize bytes
  };

  void Add(Job job);
  bool Empty() const { return jobs_.empty(); }
  // Runs every job added; on failure, error is that of the first failing job in file order.
  bool Run(std::string& error);
  static bool RunOne(const Job& job, std::string& error);

private:
  std::vector<Job> jobs_;
  size_t bytes_ = 0;
};

}  // namespace fbxsdk::io
