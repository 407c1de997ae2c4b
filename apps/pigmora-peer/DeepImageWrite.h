#pragma once

#include <string>

#include "TexturePainter.h"

// TIFF and EXR pictures: an 8-bit or 16-bit integer TIFF, a 32-bit float TIFF
// or a 32-bit float EXR, three channels, each sample the painted level
// stretched to the depth (0 to 65535, or 0.0 to 1.0). False when the
// library refuses.
bool EncodeTiff8(const PaintedImage& image, std::string& bytes);
bool EncodeTiff16(const PaintedImage& image, std::string& bytes);
bool EncodeTiffFloat(const PaintedImage& image, std::string& bytes);
bool EncodeExrFloat(const PaintedImage& image, std::string& bytes);
