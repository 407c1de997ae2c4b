#pragma once

#include <string>

#include "ViewImage.h"

// TIFF (libtiff) and EXR (OpenEXR) pictures, whose 16-bit and float samples
// the view keeps. Both refuse, before reading them, pictures of more than
// `mostPixels` pixels, or as many fewer as 16-bit or float samples are wider.
bool IsTiff(const unsigned char* head, std::size_t size);
bool IsExr(const unsigned char* head, std::size_t size);
bool LoadTiffImage(const std::string& path, long long mostPixels, ViewImage& image, std::string& problem);
bool LoadExrImage(const std::string& path, long long mostPixels, ViewImage& image, std::string& problem);
