#pragma once

#include <string>

#include "TexturePainter.h"

// The file type the peer writes for a type word of the command file: TGA, BMP,
// PNG and JPG as asked; TIF, TIFF and EXR, which it cannot write, as PNG.
std::string ImageFileType(const std::string& word);

// Writes the image in that type under a temporary name and renames it to
// path, so the file appears complete. False with the reason.
bool WriteImageFile(const PaintedImage& image, const std::string& type, const std::string& path, std::string& problem);

// Writes text the same way.
bool WriteTextFile(const std::string& text, const std::string& path, std::string& problem);
