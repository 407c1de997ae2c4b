// The words files use for layer element modes and for the material channels textures connect to.
#pragma once

#include <string_view>

#include "fbxsdk/fbxlayer.h"

namespace fbxsdk::io {

// -1 for a word this library does not know.
int MappingFromName(std::string_view name);
int ReferenceFromName(std::string_view name);
const char* MappingName(FbxLayerElement::EMappingMode mode);
const char* ReferenceName(FbxLayerElement::EReferenceMode mode);

// The material property a texture of this layer element type drives ("DiffuseColor"), or null.
const char* ChannelOfTextureType(FbxLayerElement::EType type);

}  // namespace fbxsdk::io
