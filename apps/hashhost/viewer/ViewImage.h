#pragma once

#include <cstdint>
#include <string>
#include <vector>

// How wide each of a picture's samples is: 8-bit pictures, 16-bit TIFFs and
// float TIFFs and EXRs keep their precision until they are drawn.
enum class ViewSample { Byte, Short, Float };

// An RGBA picture, rows from the top.
struct ViewImage {
  int width = 0;
  int height = 0;
  ViewSample sample = ViewSample::Byte;
  // width * height * 4 samples, each a byte, a uint16_t or a float as
  // `sample` says, in this machine's byte order.
  std::vector<std::uint8_t> pixels;

  // One sample as 0 to 1 (floats as they are), for checks and tests.
  float Sample(int x, int y, int channel) const;
};

// Reads a TGA, PNG, BMP, JPG, TIF/TIFF (8, 16 or 32 bits, integer or float)
// or EXR file. False with the reason, in a user's words, when the file is
// missing, not a regular file, too large, not such a picture or damaged.
bool LoadViewImage(const std::string& path, ViewImage& image, std::string& problem);

// The picture shown where an image cannot be read: a loud magenta and black
// checker nobody takes for paint.
ViewImage MissingImageChecker();
