#pragma once

#include <algorithm>
#include <iterator>
#include <string>

#include <Interchange/IEImage.h>

namespace pigmora {

// An interchange image's path: its fixed-size field up to the first NUL, or
// all of it when the field is full.
inline std::string InterchangeImagePath(const IEImage& image) {
  return std::string(std::begin(image.path), std::find(std::begin(image.path), std::end(image.path), '\0'));
}

}  // namespace pigmora
