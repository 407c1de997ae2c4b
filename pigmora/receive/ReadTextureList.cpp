#include "receive/ReadTextureList.h"

#include <Plugin/DecalKind.h>
#include <common/ExchangeNames.h>

#include <cctype>
#include <cstring>
#include <string>

#include "receive/AnswerTextFile.h"

#include "files/FilePathKey.h"

namespace pigmora {

const char* const kTextureChannelWords[kTextureChannelCount] = {"color", "specular", "emissive_power", "normalmap",
                                                                "displacement"};

const int kTextureChannelKinds[kTextureChannelCount] = {HDK_COLOR, HDK_SPECULAR_INTENSITY, HDK_EMISSIVE_POWER,
                                                        HDK_NORMAL, HDK_DISPLACEMENT_PERCENT};

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

// A line that begins with "displacement" and carries more after its first
// blank-separated word is the displacement channel, whatever follows (Pigmora
// writes the depth there: "displacement 0.35"); the bare word counts too.
// Letter case does not matter in any channel word.
bool IsDisplacementWithMore(const String& word) {
  const char* text = word.Get();
  constexpr char kWord[] = "displacement";
  constexpr std::size_t kLength = sizeof kWord - 1;
  if (!text || std::strlen(text) < kLength) return false;
  for (std::size_t i = 0; i < kLength; ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != kWord[i]) return false;
  }
  const char* blank = std::strchr(text, ' ');
  return blank && blank[std::strspn(blank, " ")] != '\0';
}

int ChannelOf(const String& word) {
  if (IsDisplacementWithMore(word)) return static_cast<int>(TextureChannel::Displacement);
  for (int channel = 0; channel < kTextureChannelCount; ++channel) {
    if (word.Compare(kTextureChannelWords[channel], 1)) return channel;
  }
  return -1;
}

void AddGroup(TextureList& list, const String (&lines)[4], const String& listPath) {
  const int channel = ChannelOf(lines[2]);
  if (channel < 0) return;
  const String path = PathNamedBy(listPath, lines[3]);
  if (static_cast<std::size_t>(path.Length()) > kHostNameLimit) {
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
  if (!stream.Open(path, exchange::kTextureListFile)) {
    list.errorText = stream.ErrorText();
    return list;
  }
  String group[4];
  int filled = 0;
  String line;
  long emptyLine = 0;  // the first empty line: only empty lines may follow it
  while (stream.ReadLine(line)) {
    if (line.IsEmpty()) {
      if (emptyLine == 0) emptyLine = stream.LineNumber();
      continue;
    }
    if (emptyLine > 0) {
      // Groups after it would be lost without a word.
      stream.SetDamaged((std::string("follows the empty line ") + std::to_string(emptyLine)).c_str());
      break;
    }
    line.TrimRight();
    group[filled++] = line;
    if (filled == 4) {
      AddGroup(list, group, path);
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
