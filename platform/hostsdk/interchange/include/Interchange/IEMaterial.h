#pragma once

#include <cstddef>
#include <cstdint>

#include "Interchange/IEArray.h"

// One material of an interchange model (348 bytes). Colours are stored blue,
// green, red.
struct IEMaterial {
  char name[256];
  float diffuse[3];
  float diffuseFactor;
  float ambient[3];
  float ambientFactor;
  float specular[3];
  std::uint32_t reserved300;
  float specularFactor;
  float reserved308[10];

  // The values of a new material slot.
  static IEMaterial Defaults();
  // Copies at most 255 characters of text; false when it had to cut.
  bool SetName(const char* text);
};

// Growing a material array fills new slots with the defaults, not zero bytes.
void IEArrayInitialiseSlots(IEMaterial* first, std::size_t count);
