#include <gtest/gtest.h>

#include <algorithm>
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

namespace {

double OutlineArea(const Outline& p) {
  double twice = 0;
  for (std::size_t i = 0; i < p.size(); ++i) {
    const auto &a = p[i], &b = p[(i + 1) % p.size()];
    twice += a[0] * b[1] - b[0] * a[1];
  }
  return 0.5 * twice;
}

// n - 2 triangles of distinct corners, each turning as the outline does, that
// together cover exactly the outline's area.
void ExpectExactCover(const Outline& outline, const char* what) {
  const auto triangles = SplitPolygon(outline);
  ASSERT_EQ(triangles.size(), outline.size() - 2) << what;
  double total = 0;
  int flipped = 0;
  for (const auto& t : triangles) {
    for (int corner : t) {
      ASSERT_GE(corner, 0) << what;
      ASSERT_LT(corner, static_cast<int>(outline.size())) << what;
    }
    ASSERT_TRUE(t[0] != t[1] && t[1] != t[2] && t[0] != t[2]) << what;
    if (Area(outline, t) < 0) ++flipped;
    total += Area(outline, t);
  }
  EXPECT_EQ(flipped, 0) << what;
  EXPECT_NEAR(total, OutlineArea(outline), 1e-9 * std::fabs(OutlineArea(outline))) << what;
}

}  // namespace

TEST(SplitPolygonTest, LargeConvexAndConcaveOutlinesAreCoveredExactly) {
  const double pi = std::acos(-1.0);
  Outline circle, star, comb;
  const int n = 5000;
  for (int k = 0; k < n; ++k) {
    const double angle = 2 * pi * k / n;
    circle.push_back({std::cos(angle), std::sin(angle), 0});
    // Every other corner pulled in, by varying depths: half the corners reflex.
    const double radius = k % 2 ? 0.3 + 0.6 * ((k * 7919) % 101) / 101.0 : 1.0;
    star.push_back({radius * std::cos(angle), radius * std::sin(angle), 0});
  }
  // A comb: a spine along the bottom, teeth of different heights going up.
  const int teeth = 1000;
  for (int t = 0; t < teeth; ++t) {
    const double height = 1 + (t * 37) % 11;
    comb.push_back({2.0 * t, height, 0});
    comb.push_back({2.0 * t + 1, height, 0});
    comb.push_back({2.0 * t + 1, 0.5, 0});
    comb.push_back({2.0 * t + 2, 0.5, 0});
  }
  comb.back() = {2.0 * teeth - 1, 0, 0};
  comb.push_back({0, 0, 0});
  std::reverse(comb.begin(), comb.end());  // counter-clockwise, as the others
  ExpectExactCover(circle, "circle");
  ExpectExactCover(star, "star");
  ExpectExactCover(comb, "comb");
}

TEST(SplitPolygonTest, CornersOnAStraightEdgeGiveNoTriangleWithoutArea) {
  // A square with three extra corners along its bottom edge and one on its left.
  const Outline outline = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {0, 2, 0}};
  ExpectExactCover(outline, "square with corners along its edges");
  for (const auto& t : SplitPolygon(outline)) EXPECT_GT(Area(outline, t), 0);
}
