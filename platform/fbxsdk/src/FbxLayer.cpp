#include "fbxsdk/fbxlayer.h"

#include "fbxsdk/fbxgeometry.h"

namespace fbxsdk {

FbxLayerElementUV* FbxLayerElementUV::Create(FbxLayerContainer* owner, const char* name) {
  if (!owner) return nullptr;
  FbxLayerElementUV* element = owner->AdoptElement(new FbxLayerElementUV);
  element->SetName(name);
  return element;
}

FbxLayerElementMaterial* FbxLayerElementMaterial::Create(FbxLayerContainer* owner, const char* name) {
  if (!owner) return nullptr;
  FbxLayerElementMaterial* element = owner->AdoptElement(new FbxLayerElementMaterial);
  element->SetName(name);
  return element;
}

FbxLayerElementTexture* FbxLayerElementTexture::Create(FbxLayerContainer* owner, const char* name) {
  if (!owner) return nullptr;
  FbxLayerElementTexture* element = owner->AdoptElement(new FbxLayerElementTexture);
  element->SetName(name);
  return element;
}

int FbxLayer::TextureSlot(FbxLayerElement::EType type) {
  int slot = static_cast<int>(type) - FbxLayerElement::sTypeTextureStartIndex;
  return slot >= 0 && slot < kTextureTypeCount ? slot : -1;
}

void FbxLayer::SetUVs(FbxLayerElementUV* uvs, FbxLayerElement::EType type) {
  int slot = TextureSlot(type);
  if (slot >= 0) uvs_[slot] = uvs;
}

FbxLayerElementUV* FbxLayer::GetUVs(FbxLayerElement::EType type) const {
  int slot = TextureSlot(type);
  return slot >= 0 ? uvs_[slot] : nullptr;
}

int FbxLayer::GetUVSetCount() const {
  int n = 0;
  for (FbxLayerElementUV* uvs : uvs_)
    if (uvs) ++n;
  return n;
}

void FbxLayer::SetTextures(FbxLayerElement::EType type, FbxLayerElementTexture* textures) {
  int slot = TextureSlot(type);
  if (slot >= 0) textures_[slot] = textures;
}

FbxLayerElementTexture* FbxLayer::GetTextures(FbxLayerElement::EType type) const {
  int slot = TextureSlot(type);
  return slot >= 0 ? textures_[slot] : nullptr;
}

}  // namespace fbxsdk
