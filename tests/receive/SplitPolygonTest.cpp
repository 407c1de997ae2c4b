#include <gtest/gtest.h>

#include <cmath>

#include "receive/SplitPolygon.h"

using namespace pigmora;

namespace {

using Outline = std::vector<std::array<double, 3>>;

// Signed area of the triangles in the outline's plane (z = 0 here).
double Area(const Outline& p, const std::array<int, 3>& t) {
  const auto &a = p[t[0]], &b = p[t[1]], &c = p[t[2]];
  return 0.5 * ((b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]));
}

TEST(SplitPolygonTest, AConcaveOutlineIsCoveredExactlyWithTheSameWinding) {
  // An L of six corners, area 3; a fan from corner 0 would cross the notch.
  const Outline outline = {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}};
  for (int start = 0; start < 6; ++start) {
    Outline turned;
    for (int k = 0; k < 6; ++k) turned.push_back(outline[(start + k) % 6]);
    const auto triangles = SplitPolygon(turned);
    ASSERT_EQ(triangles.size(), 4u);
    double total = 0;
    for (const auto& t : triangles) {
      EXPECT_GT(Area(turned, t), 0) << "every triangle keeps the outline's winding";
      total += Area(turned, t);
    }
    EXPECT_NEAR(total, 3.0, 1e-9);
  }
}

TEST(SplitPolygonTest, AClockwiseOutlineInAnotherPlaneKeepsItsWinding) {
  // A pentagon in the YZ plane, running clockwise seen from +x.
  const Outline outline = {{0, 0, 0}, {0, 0, 2}, {0, 1, 3}, {0, 2, 2}, {0, 2, 0}};
  const auto triangles = SplitPolygon(outline);
  ASSERT_EQ(triangles.size(), 3u);
  for (const auto& t : triangles) {
    const auto &a = outline[t[0]], &b = outline[t[1]], &c = outline[t[2]];
    const double nx = (b[1] - a[1]) * (c[2] - a[2]) - (b[2] - a[2]) * (c[1] - a[1]);
    EXPECT_LT(nx, 0) << "same facing as the outline";
  }
}

TEST(SplitPolygonTest, ADegenerateOutlineStillGivesNMinusTwoTriangles) {
  const Outline line = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}, {5, 0, 0}};
  const auto triangles = SplitPolygon(line);
  ASSERT_EQ(triangles.size(), 4u);
  std::vector<int> used(6, 0);
  for (const auto& t : triangles) {
    for (int corner : t) {
      ASSERT_GE(corner, 0);
      ASSERT_LT(corner, 6);
      used[corner] = 1;
    }
  }
  for (int u : used) EXPECT_EQ(u, 1);
}

}  // namespace
