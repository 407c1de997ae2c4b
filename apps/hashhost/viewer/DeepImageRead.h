#pragma once

#include <string>

#include "ViewImage.h"

// TIFF (libtiff) and EXR (OpenEXR) pictures, whose 16-bit and float samples
// the view keeps. Both refuse pictures of more than `mostPixels` pixels
// before reading them.
bool IsTiff(const unsigned char* head, std::size_t size);
bool IsExr(const unsigned char* head, std::size_t size);
bool LoadTiffImage(const std::string& path, long long mostPixels, ViewImage& image, std::string& problem);
bool LoadExrImage(const std::string& path, long long mostPixels, ViewImage& image, std::string& problem);
