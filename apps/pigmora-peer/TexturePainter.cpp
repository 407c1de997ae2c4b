#include "TexturePainter.h"

#include <algorithm>
#include <cmath>

namespace {

struct Colour {
  double r, g, b;
};

// A hue per material, spread by the golden ratio so neighbours differ.
Colour MaterialColour(int material) {
  const double hue = std::fmod(0.08 + material * 0.618034, 1.0) * 6.0;
  const double x = 1.0 - std::fabs(std::fmod(hue, 2.0) - 1.0);
  const int sector = static_cast<int>(hue);
  const Colour table[6] = {{1, x, 0}, {x, 1, 0}, {0, 1, x}, {0, x, 1}, {x, 0, 1}, {1, 0, x}};
  const Colour c = table[sector % 6];
  return {0.2 + 0.8 * c.r, 0.2 + 0.8 * c.g, 0.2 + 0.8 * c.b};
}

// Pattern value in [0, 1] at a UV position: checks, with a ring per material.
double Checks(double u, double v) {
  return (static_cast<int>(std::floor(u * 8)) + static_cast<int>(std::floor(v * 8))) % 2;
}

Colour Paint(PaintChannel channel, const Colour& base, double u, double v, bool covered) {
  if (!covered) {
    switch (channel) {
      case PC_NORMALMAP: return {0.5, 0.5, 1.0};
      case PC_DISPLACEMENT: return {0.5, 0.5, 0.5};
      case PC_COLOR: return {0.15, 0.15, 0.15};
      default: return {0, 0, 0};
    }
  }
  const double checks = Checks(u, v);
  const double ring = 0.5 + 0.5 * std::sin(std::hypot(u - 0.5, v - 0.5) * 40.0);
  switch (channel) {
    case PC_COLOR: {
      const double shade = 0.65 + 0.35 * checks;
      return {base.r * shade, base.g * shade, base.b * shade};
    }
    case PC_SPECULAR: {
      const double g = 0.25 + 0.5 * checks;
      return {g, g, g};
    }
    case PC_EMISSIVE_POWER: {
      const double g = std::fmod((u + v) * 8.0, 1.0) < 0.25 ? 1.0 : 0.1;
      return {g * base.r, g * base.g, g * base.b};
    }
    case PC_NORMALMAP: {
      const double slope = std::cos(std::hypot(u - 0.5, v - 0.5) * 40.0) * 0.35;
      return {0.5 + slope * 0.7, 0.5 + slope * 0.7, 0.85};
    }
    default: return {ring, ring, ring};
  }
}

}  // namespace

std::vector<std::vector<int>> PolygonsByMaterial(const PeerMesh& mesh) {
  std::vector<std::vector<int>> polygons(mesh.materials.size());
  for (int p = 0; p < mesh.PolygonCount(); ++p) {
    const int material = mesh.polygonMaterial[static_cast<std::size_t>(p)];
    if (material >= 0 && static_cast<std::size_t>(material) < polygons.size())
      polygons[static_cast<std::size_t>(material)].push_back(p);
  }
  return polygons;
}

MaterialCoverage CoverPolygons(const PeerMesh& mesh, const std::vector<int>& polygons, int size) {
  MaterialCoverage coverage;
  coverage.size = size;
  coverage.covered.assign(static_cast<std::size_t>(size) * static_cast<std::size_t>(size), 0);
  std::vector<char>& covered = coverage.covered;
  auto pixel = [size](const FbxVector2& uv, double& x, double& y) {
    x = uv[0] * size;
    y = (1.0 - uv[1]) * size;  // rows run from the top, v up
  };
  for (int p : polygons) {
    const int start = mesh.polygonStarts[static_cast<std::size_t>(p)];
    const int corners = mesh.PolygonSize(p);
    bool complete = corners >= 3;
    for (int k = 0; complete && k < corners; ++k) complete = mesh.cornerHasUV[static_cast<std::size_t>(start + k)];
    if (!complete) continue;
    double x0, y0;
    pixel(mesh.cornerUVs[static_cast<std::size_t>(start)], x0, y0);
    for (int k = 1; k + 1 < corners; ++k) {  // a fan covers the polygon's UV outline
      double x1, y1, x2, y2;
      pixel(mesh.cornerUVs[static_cast<std::size_t>(start + k)], x1, y1);
      pixel(mesh.cornerUVs[static_cast<std::size_t>(start + k + 1)], x2, y2);
      const double area = (x1 - x0) * (y2 - y0) - (y1 - y0) * (x2 - x0);
      if (area == 0 || !std::isfinite(area)) continue;
      const int minX = static_cast<int>(std::clamp(std::floor(std::min({x0, x1, x2})), 0.0, size - 1.0));
      const int maxX = static_cast<int>(std::clamp(std::ceil(std::max({x0, x1, x2})), 0.0, size - 1.0));
      const int minY = static_cast<int>(std::clamp(std::floor(std::min({y0, y1, y2})), 0.0, size - 1.0));
      const int maxY = static_cast<int>(std::clamp(std::ceil(std::max({y0, y1, y2})), 0.0, size - 1.0));
      for (int y = minY; y <= maxY; ++y) {
        for (int x = minX; x <= maxX; ++x) {
          const double px = x + 0.5, py = y + 0.5;
          const double w0 = ((x1 - px) * (y2 - py) - (y1 - py) * (x2 - px)) / area;
          const double w1 = ((x2 - px) * (y0 - py) - (y2 - py) * (x0 - px)) / area;
          const double w2 = 1.0 - w0 - w1;
          const double slack = -1.0 / size;  // a texel of bleed hides seams
          if (w0 >= slack && w1 >= slack && w2 >= slack) covered[static_cast<std::size_t>(y) * size + x] = 1;
        }
      }
    }
  }
  return coverage;
}

PaintedImage PaintMaterialChannel(const MaterialCoverage& coverage, int material, PaintChannel channel) {
  const int size = coverage.size;
  PaintedImage image;
  image.width = size;
  image.height = size;
  image.pixels.resize(static_cast<std::size_t>(size) * static_cast<std::size_t>(size) * 3);
  const Colour base = MaterialColour(material);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const std::size_t at = static_cast<std::size_t>(y) * size + x;
      const Colour c = Paint(channel, base, (x + 0.5) / size, 1.0 - (y + 0.5) / size, coverage.covered[at] != 0);
      image.pixels[at * 3 + 0] = static_cast<std::uint8_t>(std::clamp(c.r, 0.0, 1.0) * 255.0 + 0.5);
      image.pixels[at * 3 + 1] = static_cast<std::uint8_t>(std::clamp(c.g, 0.0, 1.0) * 255.0 + 0.5);
      image.pixels[at * 3 + 2] = static_cast<std::uint8_t>(std::clamp(c.b, 0.0, 1.0) * 255.0 + 0.5);
    }
  }
  return image;
}
