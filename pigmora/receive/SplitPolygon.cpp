#include "receive/SplitPolygon.h"

#include <algorithm>
#include <cmath>

namespace pigmora {

namespace {

struct Point2 {
  double x;
  double y;
};

double Cross(const Point2& a, const Point2& b, const Point2& c) {
  return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

bool SamePoint(const Point2& a, const Point2& b) { return a.x == b.x && a.y == b.y; }

// Projects onto the coordinate plane the polygon faces most, turned so that
// the outline runs counter-clockwise.
std::vector<Point2> Flatten(const std::vector<std::array<double, 3>>& points) {
  double normal[3] = {0, 0, 0};  // Newell's normal
  const std::size_t n = points.size();
  for (std::size_t i = 0; i < n; ++i) {
    const auto& a = points[i];
    const auto& b = points[(i + 1) % n];
    normal[0] += (a[1] - b[1]) * (a[2] + b[2]);
    normal[1] += (a[2] - b[2]) * (a[0] + b[0]);
    normal[2] += (a[0] - b[0]) * (a[1] + b[1]);
  }
  int drop = 2;
  if (std::fabs(normal[0]) >= std::fabs(normal[1]) && std::fabs(normal[0]) >= std::fabs(normal[2]))
    drop = 0;
  else if (std::fabs(normal[1]) >= std::fabs(normal[2]))
    drop = 1;
  const int u = (drop + 1) % 3;
  const int v = (drop + 2) % 3;
  const bool flip = normal[drop] < 0;
  std::vector<Point2> flat;
  flat.reserve(n);
  for (const auto& p : points) flat.push_back(Point2{p[u], flip ? -p[v] : p[v]});
  return flat;
}

// True when any split into triangles between its corners covers the outline exactly with triangles of
// some area: every corner turns left, and the outline runs round once (its
// edges change direction at most twice along each axis), as in a convex
// outline. An outline without any area counts too: no split of it is better.
bool SplitsAnyWay(const std::vector<Point2>& flat) {
  const std::size_t n = flat.size();
  std::size_t leftTurns = 0, straight = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double turn = Cross(flat[(i + n - 1) % n], flat[i], flat[(i + 1) % n]);
    if (turn > 0)
      ++leftTurns;
    else if (turn == 0)
      ++straight;
  }
  if (straight == n) return true;
  if (leftTurns != n) return false;
  int changes[2] = {0, 0};
  int last[2] = {0, 0};
  for (std::size_t i = 0; i < n; ++i) {
    const double step[2] = {flat[(i + 1) % n].x - flat[i].x, flat[(i + 1) % n].y - flat[i].y};
    for (int axis = 0; axis < 2; ++axis) {
      const int sign = step[axis] > 0 ? 1 : step[axis] < 0 ? -1 : 0;
      if (sign == 0) continue;
      if (last[axis] != 0 && sign != last[axis]) ++changes[axis];
      last[axis] = sign;
    }
  }
  // Once round changes direction twice along each axis, twice round four times.
  return changes[0] <= 2 && changes[1] <= 2;
}

// The corners that are not convex (reflex or flat), in a uniform grid: only
// they can lie inside a would-be ear of a simple outline. Corners cut off or
// turned convex are dropped from their cell when met, so each is stepped over
// at most once, however large later ears grow.
class ReflexGrid {
public:
  enum class Seen { Keep, Drop, Stop };

  ReflexGrid(const std::vector<Point2>& flat, const std::vector<int>& corners) {
    minX_ = maxX_ = flat.empty() ? 0 : flat[0].x;
    minY_ = maxY_ = flat.empty() ? 0 : flat[0].y;
    for (const Point2& p : flat) {
      minX_ = std::min(minX_, p.x);
      maxX_ = std::max(maxX_, p.x);
      minY_ = std::min(minY_, p.y);
      maxY_ = std::max(maxY_, p.y);
    }
    side_ = std::max(1, static_cast<int>(std::sqrt(static_cast<double>(corners.size()))));
    start_.assign(static_cast<std::size_t>(side_) * side_ + 1, 0);
    for (int corner : corners) ++start_[Cell(flat[static_cast<std::size_t>(corner)]) + 1];
    for (std::size_t i = 1; i < start_.size(); ++i) start_[i] += start_[i - 1];
    corners_.resize(corners.size());
    end_.assign(start_.begin(), start_.end() - 1);
    for (int corner : corners)
      corners_[static_cast<std::size_t>(end_[Cell(flat[static_cast<std::size_t>(corner)])]++)] = corner;
  }

  // Calls visit(corner) for the grid's corners in cells the box touches,
  // forgetting those it answers Drop for, until it answers Stop; false then.
  template <typename Visit>
  bool ForEachNear(const Point2& low, const Point2& high, Visit visit) {
    const int x0 = Column(low.x), x1 = Column(high.x), y0 = Row(low.y), y1 = Row(high.y);
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) {
        const std::size_t cell = static_cast<std::size_t>(y) * side_ + x;
        for (int i = start_[cell]; i < end_[cell];) {
          const Seen seen = visit(corners_[static_cast<std::size_t>(i)]);
          if (seen == Seen::Stop) return false;
          if (seen == Seen::Drop)
            std::swap(corners_[static_cast<std::size_t>(i)], corners_[static_cast<std::size_t>(--end_[cell])]);
          else
            ++i;
        }
      }
    }
    return true;
  }

private:
  static int Scaled(double value, double low, double high, int side) {
    if (!(high > low)) return 0;
    const double at = (value - low) / (high - low) * side;
    return std::clamp(static_cast<int>(at), 0, side - 1);
  }
  int Column(double x) const { return Scaled(x, minX_, maxX_, side_); }
  int Row(double y) const { return Scaled(y, minY_, maxY_, side_); }
  std::size_t Cell(const Point2& p) const { return static_cast<std::size_t>(Row(p.y)) * side_ + Column(p.x); }

  double minX_, maxX_, minY_, maxY_;
  int side_;
  std::vector<int> start_;    // per cell: where its corners begin in corners_
  std::vector<int> end_;      // per cell: where its corners still in the grid end
  std::vector<int> corners_;  // grouped by cell
};

// Ear clipping over a ring linked both ways: each ear found is cut and the
// search goes on beside it, so a typical outline is cut in one or two rounds.
class EarClipper {
public:
  explicit EarClipper(const std::vector<Point2>& flat)
      : flat_(flat), next_(flat.size()), previous_(flat.size()), grid_(flat, NotConvex(flat)) {
    const int n = static_cast<int>(flat.size());
    for (int i = 0; i < n; ++i) {
      next_[static_cast<std::size_t>(i)] = (i + 1) % n;
      previous_[static_cast<std::size_t>(i)] = (i + n - 1) % n;
    }
  }

  std::vector<std::array<int, 3>> Split() {
    std::vector<std::array<int, 3>> triangles;
    std::size_t left = flat_.size();
    triangles.reserve(left - 2);
    int corner = 0;
    int stop = corner;
    while (left > 3) {
      if (IsEar(corner)) {
        const int after = Next(corner);
        Cut(corner, triangles);
        --left;
        corner = Next(after);
        stop = corner;
        continue;
      }
      corner = Next(corner);
      if (corner == stop) {
        // A degenerate or self-crossing outline may have no ear: cut any
        // corner, so the polygon still becomes n - 2 triangles.
        const int after = Next(corner);
        Cut(corner, triangles);
        --left;
        corner = after;
        stop = corner;
      }
    }
    triangles.push_back({Previous(corner), corner, Next(corner)});
    return triangles;
  }

private:
  static std::vector<int> NotConvex(const std::vector<Point2>& flat) {
    const std::size_t n = flat.size();
    std::vector<int> corners;
    for (std::size_t i = 0; i < n; ++i) {
      if (Cross(flat[(i + n - 1) % n], flat[i], flat[(i + 1) % n]) <= 0) corners.push_back(static_cast<int>(i));
    }
    return corners;
  }

  int Next(int corner) const { return next_[static_cast<std::size_t>(corner)]; }
  int Previous(int corner) const { return previous_[static_cast<std::size_t>(corner)]; }
  const Point2& At(int corner) const { return flat_[static_cast<std::size_t>(corner)]; }

  void Cut(int corner, std::vector<std::array<int, 3>>& triangles) {
    const int before = Previous(corner), after = Next(corner);
    triangles.push_back({before, corner, after});
    next_[static_cast<std::size_t>(before)] = after;
    previous_[static_cast<std::size_t>(after)] = before;
    next_[static_cast<std::size_t>(corner)] = -1;  // cut
  }

  bool IsEar(int corner) {
    using Seen = ReflexGrid::Seen;
    const int before = Previous(corner), after = Next(corner);
    const Point2 &a = At(before), &b = At(corner), &c = At(after);
    if (Cross(a, b, c) <= 0) return false;  // reflex or flat corner
    const Point2 low{std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y})};
    const Point2 high{std::max({a.x, b.x, c.x}), std::max({a.y, b.y, c.y})};
    return grid_.ForEachNear(low, high, [&](int other) {
      if (Next(other) < 0) return Seen::Drop;
      if (other == before || other == corner || other == after) return Seen::Keep;
      // A corner that has become convex stays so, and cannot lie inside an ear.
      if (Cross(At(Previous(other)), At(other), At(Next(other))) > 0) return Seen::Drop;
      const Point2& p = At(other);
      if (SamePoint(p, a) || SamePoint(p, b) || SamePoint(p, c)) return Seen::Keep;
      const bool inside = Cross(a, b, p) >= 0 && Cross(b, c, p) >= 0 && Cross(c, a, p) >= 0;
      return inside ? Seen::Stop : Seen::Keep;
    });
  }

  const std::vector<Point2>& flat_;
  std::vector<int> next_;
  std::vector<int> previous_;
  ReflexGrid grid_;
};

}  // namespace

std::vector<std::array<int, 3>> SplitPolygon(const std::vector<std::array<double, 3>>& points) {
  std::vector<std::array<int, 3>> triangles;
  if (points.size() < 3) return triangles;
  const std::vector<Point2> flat = Flatten(points);
  if (SplitsAnyWay(flat)) {
    // A strip zig-zagging between both ends rather than a fan from one corner:
    // the same cover, but no corner is shared by every triangle, which would
    // give the host's spline building one point with n edges.
    triangles.reserve(points.size() - 2);
    int low = 0, high = static_cast<int>(points.size()) - 1;
    for (bool fromLow = true; high - low >= 2; fromLow = !fromLow) {
      if (fromLow) {
        triangles.push_back({low, low + 1, high});
        ++low;
      } else {
        triangles.push_back({low, high - 1, high});
        --high;
      }
    }
    return triangles;
  }
  return EarClipper(flat).Split();
}

}  // namespace pigmora
