#pragma once

#include <string>

#include "TexturePainter.h"

// The file type the peer writes for a type word of the command file: TGA, BMP,
// PNG and JPG as asked; TIF, TIFF and EXR, which it cannot write, as PNG.
std::string ImageFileType(const std::string& word);

// Writes the image in that type so that it appears complete (the platform's
// safe replacement: a temporary file renamed over path). False with the reason.
bool WriteImageFile(const PaintedImage& image, const std::string& type, const std::string& path, std::string& problem);

// Writes bytes the same way.
bool WriteTextFile(const std::string& text, const std::string& path, std::string& problem);
