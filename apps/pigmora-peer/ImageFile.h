#pragma once

#include <string>

#include "TexturePainter.h"

// The file type the peer writes for a type word of the command file: TGA, BMP,
// PNG, JPG, TIF, TIFF and EXR as asked (the last three as PNG in a build
// without libtiff and OpenEXR); anything else as PNG.
std::string ImageFileType(const std::string& word);

// The bits a displacement sample of that type gets: 8, except TIF and TIFF at
// the depth the command file names ("16-bits" or "32-bits", else 16 for TIF
// and 32 for TIFF) and EXR, always 32-bit float. Colour and other maps stay 8.
int ImageDepth(const std::string& type, const std::string& depthWord);

// Encodes the image as a file of that type and depth (16-bit integer or
// 32-bit float for TIF and TIFF); false when the encoder fails.
bool EncodeImage(const PaintedImage& image, const std::string& type, int depth, std::string& bytes);

// Writes a whole file so that it appears complete (the platform's safe
// replacement: a temporary file renamed over path). False with the reason.
bool WriteTextFile(const std::string& text, const std::string& path, std::string& problem);
