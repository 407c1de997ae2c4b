#pragma once

#include <vector>

#include "Plugin/HPatch.h"
#include "Plugin/HVector.h"

// A spline to be made: the positions it passes, closed when its last
// position links back to the first.
struct SplinePath {
  std::vector<int> positions;
  bool closed = false;
};

// Splines along the patch edges: every edge lies on exactly one spline. A
// spline runs on across a position along the straightest unused edge and ends
// where no edge continues within 60 degrees; it is closed when it comes back
// to its start.
std::vector<SplinePath> BuildSplinePaths(const std::vector<HVector>& positions, const std::vector<HPatch>& patches);
