#pragma once

#include <cstdint>
#include <vector>

#include "PeerMesh.h"

// The channels the peer paints, in the order and with the words of "textures.txt".
enum PaintChannel { PC_COLOR, PC_SPECULAR, PC_EMISSIVE_POWER, PC_NORMALMAP, PC_DISPLACEMENT, PC_COUNT };

// An 8-bit RGB image, rows from the top.
struct PaintedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // width * height * 3
};

// Paints one material's channel: a pattern of the material's own colour where
// the material's polygons lie in UV space, a plain neutral ground elsewhere,
// so a viewer shows at once whether each texture landed where it belongs.
PaintedImage PaintMaterialChannel(const PeerMesh& mesh, int material, PaintChannel channel, int size);
