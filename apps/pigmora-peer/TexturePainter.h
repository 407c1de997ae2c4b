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

// Where one material's polygons lie in an image `size` pixels square (rows
// from the top, v up): one flag per pixel, with a texel of bleed around each
// polygon so that filtering shows no seam.
struct MaterialCoverage {
  int size = 0;
  std::vector<char> covered;
};

// The polygons of each material, by the node's material order.
std::vector<std::vector<int>> PolygonsByMaterial(const PeerMesh& mesh);

// Covers the polygons' UV outlines; polygons lacking a UV at some corner cover nothing.
MaterialCoverage CoverPolygons(const PeerMesh& mesh, const std::vector<int>& polygons, int size);

// Paints one material's channel: a pattern of the material's own colour where
// its polygons lie, a plain neutral ground elsewhere, so a viewer shows at
// once whether each texture landed where it belongs.
PaintedImage PaintMaterialChannel(const MaterialCoverage& coverage, int material, PaintChannel channel);
