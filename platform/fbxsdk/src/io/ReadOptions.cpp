#include "ReadOptions.h"

namespace fbxsdk::io {

void ReadWarnings::Add(std::string text) {
  if (items_.size() < kLimit)
    items_.push_back(std::move(text));
  else
    ++leftOut_;
}

std::vector<std::string> ReadWarnings::List() const {
  std::vector<std::string> out = items_;
  if (leftOut_) out.push_back("and " + std::to_string(leftOut_) + " more warnings");
  return out;
}

bool IsUnexposedArray(std::string_view name) {
  static constexpr std::string_view kUnexposed[] = {"Normals",       "NormalsW",       "NormalsIndex", "Binormals",
                                                    "BinormalsW",    "BinormalsIndex", "Tangents",     "TangentsW",
                                                    "TangentsIndex", "Edges",          "Smoothing",    "NormalsWIndex"};
  for (std::string_view unexposed : kUnexposed)
    if (name == unexposed) return true;
  return false;
}

}  // namespace fbxsdk::io
