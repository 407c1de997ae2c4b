#include "send/ExportMaterial.h"

#include <Plugin/DecalKind.h>
#include <Plugin/HAttrProperty.h>
#include <Plugin/HGroup.h>

#include <cstdio>

namespace pigmora {

const TextureSlot kTextureSlots[kTextureSlotCount] = {
    {HDK_COLOR, FbxLayerElement::eTextureDiffuse},
    {HDK_SPECULAR, FbxLayerElement::eTextureSpecularFactor},
    {HDK_AMBIANCE, FbxLayerElement::eTextureAmbientFactor},
    {HDK_NORMAL, FbxLayerElement::eTextureNormalMap},
    {HDK_DISPLACEMENT, FbxLayerElement::eTextureDisplacement},
};

int TextureSlotOfKind(int kind) {
  for (int slot = 0; slot < kTextureSlotCount; ++slot)
    if (kTextureSlots[slot].hostKind == kind) return slot;
  return -1;
}

namespace {

void CopyColor(float (&target)[3], HColorProperty* color) {
  const RGBFloat value = color->GetFactoredRGBFloat();
  target[0] = value.blue;
  target[1] = value.green;
  target[2] = value.red;
}

}  // namespace

void ReadMaterialAttributes(ExportMaterial& material, HAttrProperty* attributes) {
  for (int& slot : material.textureSlots) slot = -1;
  CopyColor(material.diffuseColor, attributes->GetDiffuseColor());
  material.diffuseFallOff = attributes->GetDiffuseFallOff()->GetValue();
  CopyColor(material.ambianceColor, attributes->GetAmbianceColor());
  material.ambiance = attributes->GetAmbiance()->GetValue();
  CopyColor(material.specularColor, attributes->GetSpecularColor());
  material.specularIntensity = attributes->GetSpecularIntensity()->GetValue();
  material.displacementPercent = 1.0f;
  material.bumpPercent = 1.0f;
  if (HMaterial* head = attributes->GetMaterialHead()) {
    material.displacementPercent = head->GetDisplacePercent();
    material.bumpPercent = head->GetBumpPercent();
  }
}

ExportMaterial MakeGroupMaterial(HGroup* group) {
  ExportMaterial material;
  material.name = group->GetMatchName();
  material.name.Replace(" ", "_");
  if (material.name.Compare("default", 1)) {
    char number[16];
    std::snprintf(number, sizeof number, "%d", 1);
    material.name += number;
  }
  material.group = group;
  ReadMaterialAttributes(material, group->GetAttr());
  return material;
}

}  // namespace pigmora
