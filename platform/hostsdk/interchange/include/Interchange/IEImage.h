#pragma once

#include <cstdint>

// One texture file of an interchange model (260 bytes).
struct IEImage {
  char path[256];            // full path, NUL-terminated
  std::int16_t reserved256;  // the host's; zero in records this side makes
  std::int16_t reserved258;

  // Copies at most 255 characters of text; false when it had to cut.
  bool SetPath(const char* text);
};
