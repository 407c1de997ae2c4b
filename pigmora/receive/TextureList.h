#pragma once

#include <vector>

#include <FileIO/String.h>

namespace pigmora {

// The texture channels of Pigmora's answer, numbered in their fixed order.
enum TextureChannel { TC_COLOR = 0, TC_SPECULAR, TC_EMISSIVE_POWER, TC_NORMALMAP, TC_DISPLACEMENT, TC_COUNT };

// The word each channel has in "textures.txt", by channel number.
extern const char* const kTextureChannelWords[TC_COUNT];

// The decal kind the received map records carry for each channel.
extern const int kTextureChannelKinds[TC_COUNT];

// One material of the texture list: per channel, the position of its texture
// in TextureList::texturePaths, or -1 for none.
struct MaterialTextures {
  String name;
  int channels[TC_COUNT] = {-1, -1, -1, -1, -1};
};

// What "textures.txt" says: distinct texture paths, UV set names and
// materials, each in order of first use (letter case ignored).
struct TextureList {
  std::vector<String> texturePaths;
  std::vector<String> uvSetNames;
  std::vector<MaterialTextures> materials;
  // Paths the host cannot hold (over 255 characters): their groups are left
  // out, so that no texture is ever cut into a different path.
  std::vector<String> leftOutPaths;
  bool loaded = false;
  // Why the list is not loaded.
  String errorText;

  // Position of the material named name (letter case ignored), or -1.
  int FindMaterial(const char* name) const;
};

// The longest texture path or material name the host keeps.
constexpr int kHostNameLimit = 255;

}  // namespace pigmora
