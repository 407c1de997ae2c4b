#pragma once

#include <FileIO/String.h>

#include "receive/TextureList.h"

namespace pigmora {

// Reads Pigmora's "textures.txt": groups of four lines (material, UV set,
// channel, image path), trailing white space removed, up to the first empty
// line or the end. A group with an unknown channel or an unfinished last group
// is dropped; a later group for the same material and channel wins. The list
// is not loaded, and says why, when the file cannot be read or is not a
// regular file or holds a line longer than kAnswerLineLimit.
TextureList ReadTextureList(const String& path);

}  // namespace pigmora
