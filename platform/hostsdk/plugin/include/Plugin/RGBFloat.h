#pragma once

// A colour of three floats, 0 to 1, stored in the host's order: blue, green, red.
struct RGBFloat {
  float blue = 0.0f;
  float green = 0.0f;
  float red = 0.0f;

  static RGBFloat FromRGB(float r, float g, float b) { return RGBFloat{b, g, r}; }
  bool operator==(const RGBFloat& other) const = default;
};
