// split_polygon_bench [CORNERS]: splits star-shaped outlines of three kinds with CORNERS/4,
// CORNERS/2 and CORNERS corners (default 180,000) into triangles, printing seconds for each:
// doubling the corners should about double the time.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "receive/SplitPolygon.h"

namespace {

using Outline = std::vector<std::array<double, 3>>;

// Corners alternately on an outer and an inner circle: half of them reflex.
Outline Spiky(int corners) {
  Outline outline;
  for (int i = 0; i < corners; ++i) {
    const double angle = 2 * M_PI * i / corners;
    const double radius = i % 2 == 0 ? 1.0 : 0.5;
    outline.push_back({radius * std::cos(angle), radius * std::sin(angle), 0.0});
  }
  return outline;
}

// Every corner seen from the centre, at a radius of its own.
Outline Ragged(int corners) {
  Outline outline;
  unsigned seed = 12345;
  for (int i = 0; i < corners; ++i) {
    seed = seed * 1103515245u + 12345u;
    const double angle = 2 * M_PI * i / corners;
    const double radius = 0.5 + 0.5 * ((seed >> 8) & 0xffff) / 65535.0;
    outline.push_back({radius * std::cos(angle), radius * std::sin(angle), 0.0});
  }
  return outline;
}

// A five-pointed star whose ten straight edges carry the corners between its points.
Outline FivePointed(int corners) {
  Outline tips;
  for (int i = 0; i < 10; ++i) {
    const double angle = 2 * M_PI * i / 10;
    const double radius = i % 2 == 0 ? 1.0 : 0.4;
    tips.push_back({radius * std::cos(angle), radius * std::sin(angle), 0.0});
  }
  Outline outline;
  const int perEdge = corners / 10;
  for (int e = 0; e < 10; ++e)
    for (int k = 0; k < perEdge; ++k) {
      const double t = static_cast<double>(k) / perEdge;
      const auto &a = tips[e], &b = tips[(e + 1) % 10];
      outline.push_back({a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, 0.0});
    }
  return outline;
}

}  // namespace

int main(int argc, char** argv) {
  const int corners = argc > 1 ? std::atoi(argv[1]) : 180000;
  const struct {
    const char* name;
    Outline (*make)(int);
  } shapes[] = {{"spiky star", &Spiky}, {"ragged star", &Ragged}, {"five-pointed star", &FivePointed}};
  for (const auto& shape : shapes) {
    for (int n : {corners / 4, corners / 2, corners}) {
      const Outline outline = shape.make(n);
      const auto start = std::chrono::steady_clock::now();
      const auto triangles = pigmora::SplitPolygon(outline);
      const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      std::printf("%-18s %7zu corners: %.3f s\n", shape.name, outline.size(), seconds);
      if (triangles.size() != outline.size() - 2) return 1;
    }
  }
  return 0;
}
