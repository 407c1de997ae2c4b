#pragma once

// A position in model units.
struct HVector {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};
