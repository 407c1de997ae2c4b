#pragma once

#include <FileIO/String.h>
#include <fbxsdk.h>

class HAttrProperty;
class HGroup;

namespace pigmora {

// The texture channels a material carries to Pigmora, in slot order.
constexpr int kTextureSlotCount = 5;

struct TextureSlot {
  int hostKind;                    // the map kind (low four bits of a map record's flags)
  FbxLayerElement::EType fbxType;  // the layer element the slot's textures are set under
};

// color, specular, ambiance, normal map, displacement
extern const TextureSlot kTextureSlots[kTextureSlotCount];

// The slot a map kind fills; -1 for kinds no slot takes.
int TextureSlotOfKind(int kind);

// One material of the export: the model's own (no group) or one of its groups.
// Colors keep the host's storage order (blue, green, red).
struct ExportMaterial {
  HGroup* group = nullptr;
  String name;
  float diffuseColor[3] = {};
  float diffuseFallOff = 0.0f;
  float ambianceColor[3] = {};
  float ambiance = 0.0f;
  float specularColor[3] = {};
  float specularIntensity = 0.0f;
  float displacementPercent = 1.0f;
  float bumpPercent = 1.0f;
  int textureSlots[kTextureSlotCount] = {-1, -1, -1, -1, -1};  // image index, -1 for none
};

// Colors, factors and percents from the host's attributes; no texture in any slot.
void ReadMaterialAttributes(ExportMaterial& material, HAttrProperty* attributes);

// The material of a group: its name with blanks as underscores, "default1"
// for a group called "default" (the model's own material has that name).
ExportMaterial MakeGroupMaterial(HGroup* group);

}  // namespace pigmora
