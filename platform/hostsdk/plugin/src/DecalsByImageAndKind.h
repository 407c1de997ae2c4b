#pragma once

#include <map>
#include <utility>

class HDecal;
class HImage;
class HModelCache;

// One decal per distinct (image, kind) of a model, in order of first use,
// named "<image> <kind word>" and holding one clip of that kind: how both the
// OBJ import and the merge of an interchange model lay textures on a model.
class DecalsByImageAndKind {
public:
  explicit DecalsByImageAndKind(HModelCache& model) : model_(model) {}
  HDecal* DecalFor(HImage* image, int kind);

private:
  HModelCache& model_;
  std::map<std::pair<HImage*, int>, HDecal*> decals_;
};
