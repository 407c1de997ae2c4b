#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include <FileIO/String.h>

namespace pigmora {

// The texture channels of Pigmora's answer, numbered in their fixed order.
enum class TextureChannel { Color, Specular, EmissivePower, Normalmap, Displacement };
constexpr int kTextureChannelCount = static_cast<int>(TextureChannel::Displacement) + 1;

// The word each channel has in "textures.txt", by channel number.
extern const char* const kTextureChannelWords[kTextureChannelCount];

// The decal kind the received map records carry for each channel.
extern const int kTextureChannelKinds[kTextureChannelCount];

// One material of the texture list: per channel, the position of its texture
// in TextureList::texturePaths, or -1 for none.
struct MaterialTextures {
  String name;
  int channels[kTextureChannelCount] = {-1, -1, -1, -1, -1};

  int& TextureOf(TextureChannel channel) { return channels[static_cast<int>(channel)]; }
  int TextureOf(TextureChannel channel) const { return channels[static_cast<int>(channel)]; }
};

// The key under which material and UV set names are one when they differ only
// in letter case, as the host's comparison with flag 1 has them.
std::string CaseFoldedName(const char* name);

// What "textures.txt" says: distinct texture paths (told apart as the file
// system does), UV set names and materials (letter case ignored), each in
// order of first use, with hashed look-ups so a long list reads in linear time.
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
  // Position of the texture path as the file system tells it, or -1.
  int FindTexture(const String& path) const;

  // Appending keeps the look-ups current; each returns the entry's position.
  int AddMaterial(const String& name);
  int AddTexture(const String& path);
  void AddUVSetName(const String& name);
  void AddLeftOutPath(const String& path);

private:
  std::unordered_map<std::string, int> materialIndex_;
  std::unordered_map<std::string, int> textureIndex_;
  std::unordered_map<std::string, int> uvSetIndex_;
  std::unordered_map<std::string, int> leftOutIndex_;
};

// The longest texture path or material name the host keeps.
constexpr int kHostNameLimit = 255;

}  // namespace pigmora
