#pragma once

#include <string>
#include <vector>

#include <stb_image.h>

// A PNG's pixels as RGB, for tests that look at pictures.
struct PngPixels {
  struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
  };

  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;

  static PngPixels Read(const std::string& path) {
    PngPixels png;
    int channels = 0;
    if (unsigned char* pixels = stbi_load(path.c_str(), &png.width, &png.height, &channels, 3)) {
      png.rgb.assign(pixels, pixels + png.width * png.height * 3);
      stbi_image_free(pixels);
    }
    return png;
  }
  // How two pictures differ, in a line short enough for a test's log; empty when they show the same.
  static std::string Difference(const PngPixels& a, const PngPixels& b) {
    if (a.rgb.empty() || b.rgb.empty()) return a.rgb.empty() && b.rgb.empty() ? "" : "one picture is unreadable";
    if (a.width != b.width || a.height != b.height)
      return "sizes differ: " + std::to_string(a.width) + " x " + std::to_string(a.height) + " and " +
             std::to_string(b.width) + " x " + std::to_string(b.height);
    std::size_t differing = 0;
    int firstX = -1, firstY = -1;
    for (int y = 0; y < a.height; ++y)
      for (int x = 0; x < a.width; ++x)
        if (!(a.At(x, y) == b.At(x, y)) && differing++ == 0) {
          firstX = x;
          firstY = y;
        }
    if (differing == 0) return "";
    return std::to_string(differing) + " pixels differ, the first at (" + std::to_string(firstX) + ", " +
           std::to_string(firstY) + ")";
  }
  static std::string Difference(const std::string& pathA, const std::string& pathB) {
    return Difference(Read(pathA), Read(pathB));
  }

  Rgb At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return {-1, -1, -1};
    const unsigned char* at = &rgb[static_cast<std::size_t>(y * width + x) * 3];
    return {at[0], at[1], at[2]};
  }
};
