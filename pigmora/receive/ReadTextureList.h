#pragma once

#include <FileIO/String.h>

#include "receive/TextureList.h"

namespace pigmora {

// Reads Pigmora's "textures.txt": groups of four lines (material, UV set,
// channel, image path), trailing white space removed, up to the end; empty
// lines may end it, but a line after an empty one means the list is damaged.
// A group with an unknown channel or an unfinished last group is dropped; a
// later group for the same material and channel wins. The list is not loaded,
// and says why with the line, when the file cannot be read, is not a regular
// file, or cannot be read to its end as text (see AnswerTextFile).
TextureList ReadTextureList(const String& path);

}  // namespace pigmora
