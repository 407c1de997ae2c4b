#include "UVLayout.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace {

// Texels kept free around each cell's outline.
constexpr double kMarginTexels = 3.0;

struct Vec3 {
  double x = 0, y = 0, z = 0;
};

Vec3 Minus(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3 Scaled(const Vec3& a, double s) { return {a.x * s, a.y * s, a.z * s}; }

bool Normalise(Vec3& a) {
  const double length = std::sqrt(Dot(a, a));
  if (!std::isfinite(length) || length <= 0) return false;
  a = Scaled(a, 1.0 / length);
  return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z);
}

// The polygon's corners in its own plane: x along its first edge, y to its left
// seen from the side its normal faces, so the paint is not mirrored.
bool Flatten(const std::vector<Vec3>& corners, std::vector<double>& xs, std::vector<double>& ys) {
  const std::size_t n = corners.size();
  if (n < 3) return false;
  Vec3 normal;  // Newell's normal, sound for non-planar and concave outlines
  for (std::size_t k = 0; k < n; ++k) {
    const Vec3& a = corners[k];
    const Vec3& b = corners[(k + 1) % n];
    normal.x += (a.y - b.y) * (a.z + b.z);
    normal.y += (a.z - b.z) * (a.x + b.x);
    normal.z += (a.x - b.x) * (a.y + b.y);
  }
  if (!Normalise(normal)) return false;
  Vec3 along;
  bool found = false;
  for (std::size_t k = 0; k < n && !found; ++k) {
    along = Minus(corners[(k + 1) % n], corners[k]);
    along = Minus(along, Scaled(normal, Dot(along, normal)));
    found = Normalise(along);
  }
  if (!found) return false;
  const Vec3 across = Cross(normal, along);
  xs.resize(n);
  ys.resize(n);
  for (std::size_t k = 0; k < n; ++k) {
    const Vec3 offset = Minus(corners[k], corners[0]);
    xs[k] = Dot(offset, along);
    ys[k] = Dot(offset, across);
    if (!std::isfinite(xs[k]) || !std::isfinite(ys[k])) return false;
  }
  return true;
}

// A regular outline for a polygon that has no plane of its own.
void RegularOutline(std::size_t n, std::vector<double>& xs, std::vector<double>& ys) {
  xs.resize(n);
  ys.resize(n);
  for (std::size_t k = 0; k < n; ++k) {
    const double angle = 2.0 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(n);
    xs[k] = std::cos(angle);
    ys[k] = std::sin(angle);
  }
}

}  // namespace

bool HasCompleteUVs(const PeerMesh& mesh) {
  return std::all_of(mesh.cornerHasUV.begin(), mesh.cornerHasUV.end(), [](char has) { return has != 0; });
}

void LayOutUVs(PeerMesh& mesh, int imageSize) {
  const int count = mesh.PolygonCount();
  mesh.uvSetName = "map1";
  mesh.cornerUVs.assign(mesh.polygonVertices.size(), FbxVector2(0, 0));
  mesh.cornerHasUV.assign(mesh.polygonVertices.size(), 1);
  if (count == 0) return;

  std::vector<int> order(static_cast<std::size_t>(count));
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&mesh](int a, int b) {
    return static_cast<unsigned>(mesh.polygonMaterial[static_cast<std::size_t>(a)]) <
           static_cast<unsigned>(mesh.polygonMaterial[static_cast<std::size_t>(b)]);  // no material last
  });
  const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
  const double cell = 1.0 / columns;
  const double margin = std::min(cell * 0.2, kMarginTexels / std::max(imageSize, 1));
  const double inner = cell - 2 * margin;

  std::vector<Vec3> corners;
  std::vector<double> xs, ys;
  for (int i = 0; i < count; ++i) {
    const int polygon = order[static_cast<std::size_t>(i)];
    const std::size_t start = static_cast<std::size_t>(mesh.polygonStarts[static_cast<std::size_t>(polygon)]);
    const std::size_t size = static_cast<std::size_t>(std::max(mesh.PolygonSize(polygon), 0));
    corners.assign(size, Vec3{NAN, NAN, NAN});
    for (std::size_t k = 0; k < size; ++k) {
      const int point = mesh.polygonVertices[start + k];
      if (point < 0 || static_cast<std::size_t>(point) >= mesh.points.size()) continue;
      const FbxVector4& p = mesh.points[static_cast<std::size_t>(point)];
      corners[k] = {p[0], p[1], p[2]};
    }
    if (!Flatten(corners, xs, ys)) RegularOutline(size, xs, ys);
    if (size == 0) continue;

    const auto [minX, maxX] = std::minmax_element(xs.begin(), xs.end());
    const auto [minY, maxY] = std::minmax_element(ys.begin(), ys.end());
    const double width = *maxX - *minX, height = *maxY - *minY;
    const double extent = std::max(width, height);
    const double scale = extent > 0 && std::isfinite(inner / extent) ? inner / extent : 0;
    // Cells fill rows from the top of the image (v = 1) down.
    const double left = (i % columns) * cell + margin + (inner - width * scale) / 2;
    const double bottom = 1.0 - (i / columns + 1) * cell + margin + (inner - height * scale) / 2;
    for (std::size_t k = 0; k < size; ++k)
      mesh.cornerUVs[start + k] = FbxVector2(left + (xs[k] - *minX) * scale, bottom + (ys[k] - *minY) * scale);
  }
}
