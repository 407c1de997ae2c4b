#pragma once

#include <array>
#include <vector>

namespace pigmora {

// Splits a polygon of more than four corners into triangles in the polygon's
// own plane: a convex outline is cut into a strip, any other is cut
// ear by ear (corners that could spoil an ear looked up in a grid), so concave
// outlines stay right and large ones take about linear time. points holds the
// corners' positions in order; each triangle names three corners by their
// position in that order and keeps the polygon's winding. A polygon of n
// corners always gives n - 2 triangles, degenerate outlines included.
std::vector<std::array<int, 3>> SplitPolygon(const std::vector<std::array<double, 3>>& points);

}  // namespace pigmora
