#pragma once

#include <cstdint>

#include "Plugin/Export.h"

// A surface patch bounded by three or four control point positions of its model.
class PLUGIN_API HPatch {
public:
  int GetCornerCount() const { return cornerCount_; }
  // Position index of corner k (0 to 3); a triangle repeats corner 0 as corner 3.
  int GetCorner(int k) const { return corners_[k & 3]; }
  // Position of the patch in its model's patch order.
  int GetIndex() const { return index_; }

private:
  friend class HModelCache;
  std::int32_t corners_[4] = {-1, -1, -1, -1};
  std::int32_t cornerCount_ = 0;
  std::int32_t index_ = -1;
};
