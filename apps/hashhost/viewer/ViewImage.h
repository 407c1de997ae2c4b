#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An 8-bit RGBA picture, rows from the top.
struct ViewImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // width * height * 4
};

// Reads a TGA, PNG, BMP or JPG file (what stb reads). False with the reason
// when the file is missing, not a regular file, too large or not a picture.
bool LoadViewImage(const std::string& path, ViewImage& image, std::string& problem);

// The picture shown where an image cannot be read: a loud magenta and black
// checker nobody takes for paint.
ViewImage MissingImageChecker();
