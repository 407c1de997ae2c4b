#pragma once

#include <string>

#include "TexturePainter.h"

// The file type the peer writes for a type word of the command file: TGA, BMP,
// PNG and JPG as asked; TIF, TIFF and EXR, which it cannot write, as PNG.
std::string ImageFileType(const std::string& word);

// Encodes the image as a file of that type; false when the encoder fails.
bool EncodeImage(const PaintedImage& image, const std::string& type, std::string& bytes);

// Writes a whole file so that it appears complete (the platform's safe
// replacement: a temporary file renamed over path). False with the reason.
bool WriteTextFile(const std::string& text, const std::string& path, std::string& problem);
