#include "receive/ReadTextureList.h"

#include "receive/AnswerTextFile.h"

namespace pigmora {

const char* const kTextureChannelWords[TC_COUNT] = {"color", "specular", "emissive_power", "normalmap", "displacement"};

const int kTextureChannelKinds[TC_COUNT] = {0, 4, 7, 13, 9};

int TextureList::FindMaterial(const char* name) const {
  for (std::size_t i = 0; i < materials.size(); ++i) {
    if (materials[i].name.Compare(name, 1)) return static_cast<int>(i);
  }
  return -1;
}

namespace {

int FindIgnoringCase(const std::vector<String>& list, const String& text) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i].Compare(text, 1)) return static_cast<int>(i);
  }
  return -1;
}

// "displacement" may carry the depth after a blank ("displacement 0.35"); the
// bare word counts as the channel too.
int ChannelOf(String word) {
  if (word.Find("displacement") == 0) {
    String token = word.StrTok(" ");
    if (token == "displacement") return TC_DISPLACEMENT;
  }
  for (int channel = 0; channel < TC_COUNT; ++channel) {
    if (word.Compare(kTextureChannelWords[channel], 1)) return channel;
  }
  return -1;
}

void AddGroup(TextureList& list, const String (&lines)[4]) {
  const int channel = ChannelOf(lines[2]);
  if (channel < 0) return;
  const String& path = lines[3];
  if (path.Length() > kHostNameLimit) {
    if (FindIgnoringCase(list.leftOutPaths, path) < 0) list.leftOutPaths.push_back(path);
    return;
  }
  int texture = FindIgnoringCase(list.texturePaths, path);
  if (texture < 0) {
    texture = static_cast<int>(list.texturePaths.size());
    list.texturePaths.push_back(path);
  }
  if (FindIgnoringCase(list.uvSetNames, lines[1]) < 0) list.uvSetNames.push_back(lines[1]);
  int material = list.FindMaterial(lines[0]);
  if (material < 0) {
    material = static_cast<int>(list.materials.size());
    list.materials.push_back(MaterialTextures{lines[0]});
  }
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
