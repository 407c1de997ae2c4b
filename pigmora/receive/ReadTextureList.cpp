#include "receive/ReadTextureList.h"

#include "receive/AnswerTextFile.h"

#include "files/FilePathKey.h"

namespace pigmora {

const char* const kTextureChannelWords[kTextureChannelCount] = {"color", "specular", "emissive_power", "normalmap",
                                                                "displacement"};

const int kTextureChannelKinds[kTextureChannelCount] = {0, 4, 7, 13, 9};

std::string CaseFoldedName(const char* name) {
  std::string key(name ? name : "");
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

namespace {

int Find(const std::unordered_map<std::string, int>& index, const std::string& key) {
  const auto found = index.find(key);
  return found == index.end() ? -1 : found->second;
}

// Appends text under key unless the key is there; the entry's position.
int Add(std::vector<String>& list, std::unordered_map<std::string, int>& index, const std::string& key,
        const String& text) {
  const auto [entry, added] = index.emplace(key, static_cast<int>(list.size()));
  if (added) list.push_back(text);
  return entry->second;
}

}  // namespace

int TextureList::FindMaterial(const char* name) const { return Find(materialIndex_, CaseFoldedName(name)); }

int TextureList::FindTexture(const String& path) const { return Find(textureIndex_, FilePathKey(path)); }

int TextureList::AddMaterial(const String& name) {
  const auto [entry, added] = materialIndex_.emplace(CaseFoldedName(name.Get()), static_cast<int>(materials.size()));
  if (added) materials.push_back(MaterialTextures{name});
  return entry->second;
}

int TextureList::AddTexture(const String& path) { return Add(texturePaths, textureIndex_, FilePathKey(path), path); }

void TextureList::AddUVSetName(const String& name) { Add(uvSetNames, uvSetIndex_, CaseFoldedName(name.Get()), name); }

void TextureList::AddLeftOutPath(const String& path) { Add(leftOutPaths, leftOutIndex_, FilePathKey(path), path); }

namespace {

// "displacement" may carry the depth after a blank ("displacement 0.35"); the
// bare word counts as the channel too. Letter case does not matter in either.
int ChannelOf(const String& word) {
  String rest = word;
  if (rest.StrTok(" ").Compare("displacement", 1)) return static_cast<int>(TextureChannel::Displacement);
  for (int channel = 0; channel < kTextureChannelCount; ++channel) {
    if (word.Compare(kTextureChannelWords[channel], 1)) return channel;
  }
  return -1;
}

void AddGroup(TextureList& list, const String (&lines)[4]) {
  const int channel = ChannelOf(lines[2]);
  if (channel < 0) return;
  const String& path = lines[3];
  if (path.Length() > kHostNameLimit) {
    list.AddLeftOutPath(path);
    return;
  }
  const int texture = list.AddTexture(path);
  list.AddUVSetName(lines[1]);
  const int material = list.AddMaterial(lines[0]);
  list.materials[static_cast<std::size_t>(material)].channels[channel] = texture;
}

}  // namespace

TextureList ReadTextureList(const String& path) {
  TextureList list;
  AnswerTextFile stream;
  if (!stream.Open(path, "textures.txt")) {
    list.errorText = stream.ErrorText();
    return list;
  }
  String group[4];
  int filled = 0;
  String line;
  while (stream.ReadLine(line) && !line.IsEmpty()) {
    line.TrimRight();
    group[filled++] = line;
    if (filled == 4) {
      AddGroup(list, group);
      filled = 0;
    }
  }
  stream.Close();
  if (stream.Failed()) {
    list = TextureList();
    list.errorText = stream.ErrorText();
    return list;
  }
  list.loaded = true;
  return list;
}

}  // namespace pigmora
