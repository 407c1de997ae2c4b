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
  Rgb At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return {-1, -1, -1};
    const unsigned char* at = &rgb[static_cast<std::size_t>(y * width + x) * 3];
    return {at[0], at[1], at[2]};
  }
};
