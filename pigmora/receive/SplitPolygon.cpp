#include "receive/SplitPolygon.h"

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

bool InsideTriangle(const Point2& p, const Point2& a, const Point2& b, const Point2& c) {
  return Cross(a, b, p) >= 0 && Cross(b, c, p) >= 0 && Cross(c, a, p) >= 0;
}

bool IsEar(const std::vector<Point2>& flat, const std::vector<int>& ring, std::size_t at) {
  const std::size_t n = ring.size();
  const Point2& a = flat[ring[(at + n - 1) % n]];
  const Point2& b = flat[ring[at]];
  const Point2& c = flat[ring[(at + 1) % n]];
  if (Cross(a, b, c) <= 0) return false;  // reflex or flat corner
  for (std::size_t k = 0; k < n; ++k) {
    if (k == at || k == (at + n - 1) % n || k == (at + 1) % n) continue;
    const Point2& p = flat[ring[k]];
    if ((p.x == a.x && p.y == a.y) || (p.x == b.x && p.y == b.y) || (p.x == c.x && p.y == c.y)) continue;
    if (InsideTriangle(p, a, b, c)) return false;
  }
  return true;
}

}  // namespace

std::vector<std::array<int, 3>> SplitPolygon(const std::vector<std::array<double, 3>>& points) {
  std::vector<std::array<int, 3>> triangles;
  if (points.size() < 3) return triangles;
  const std::vector<Point2> flat = Flatten(points);
  std::vector<int> ring(points.size());
  for (std::size_t i = 0; i < ring.size(); ++i) ring[i] = static_cast<int>(i);
  triangles.reserve(points.size() - 2);
  while (ring.size() > 3) {
    const std::size_t n = ring.size();
    std::size_t ear = n;
    for (std::size_t at = 0; at < n && ear == n; ++at) {
      if (IsEar(flat, ring, at)) ear = at;
    }
    // A degenerate or self-crossing outline may have no ear: cut any corner,
    // so the polygon still becomes n - 2 triangles.
    if (ear == n) ear = 0;
    triangles.push_back({ring[(ear + n - 1) % n], ring[ear], ring[(ear + 1) % n]});
    ring.erase(ring.begin() + static_cast<std::ptrdiff_t>(ear));
  }
  triangles.push_back({ring[0], ring[1], ring[2]});
  return triangles;
}

}  // namespace pigmora
