#include "send/FbxMaterials.h"

#include <FileIO/String.h>
#include <Interchange/IEModel.h>

#include <cstddef>

#include "send/ExportJob.h"

namespace pigmora {

namespace {

// FBX colors run red, green, blue: the host's stored order reversed.
FbxDouble3 FbxColor(const float (&stored)[3]) { return FbxDouble3(stored[2], stored[1], stored[0]); }

FbxSurfacePhong* CreatePhong(FbxManager* manager, const ExportMaterial& material) {
  FbxSurfacePhong* phong = FbxSurfacePhong::Create(manager, material.name.Get());
  phong->Ambient.Set(FbxColor(material.ambianceColor));
  phong->AmbientFactor.Set(static_cast<double>(material.ambiance));
  phong->Diffuse.Set(FbxColor(material.diffuseColor));
  phong->DiffuseFactor.Set(static_cast<double>(material.diffuseFallOff));
  phong->Specular.Set(FbxColor(material.specularColor));
  phong->SpecularFactor.Set(static_cast<double>(material.specularIntensity));
  phong->BumpFactor.Set(static_cast<double>(material.bumpPercent));
  phong->DisplacementFactor.Set(static_cast<double>(material.displacementPercent));
  return phong;
}

}  // namespace

std::vector<FbxFileTexture*> CreateFileTextures(FbxManager* manager, const IEPolyModel& model) {
  std::vector<FbxFileTexture*> textures;
  textures.reserve(static_cast<std::size_t>(model.images.count));
  for (const IEImage& image : model.images) {
    const String path = image.path;
    FbxFileTexture* texture = FbxFileTexture::Create(manager, path.GetNameOnly().Get());
    texture->SetFileName(path.Get());
    texture->SetTextureUse(FbxTexture::eStandard);
    texture->SetMappingType(FbxTexture::eUV);
    texture->SetMaterialUse(FbxFileTexture::eModelMaterial);
    texture->SetSwapUV(false);
    texture->SetTranslation(0.0, 0.0);
    texture->SetScale(1.0, 1.0);
    texture->SetRotation(0.0, 0.0, 0.0);
    textures.push_back(texture);
  }
  return textures;
}

void AddMaterialsAndTextures(FbxManager* manager, const ExportJob& job, FbxMesh* mesh, FbxLayer* layer) {
  const IEPolyModel& model = *job.exportModel;
  const std::vector<FbxFileTexture*> textures = CreateFileTextures(manager, model);

  // Made on the mesh, so they go with it when the scene is next cleared
  // instead of piling up in the manager send after send.
  FbxLayerElementTexture* slotTextures[kTextureSlotCount];
  for (FbxLayerElementTexture*& element : slotTextures) element = FbxLayerElementTexture::Create(mesh, "");
  FbxLayerElementMaterial* materials = FbxLayerElementMaterial::Create(mesh, "");
  materials->SetMappingMode(FbxLayerElement::eByPolygon);
  materials->SetReferenceMode(FbxLayerElement::eIndexToDirect);

  for (const ExportMaterial& material : job.materials) {
    FbxSurfacePhong* phong = CreatePhong(manager, material);
    materials->GetDirectArray().Add(phong);
    for (int slot = 0; slot < kTextureSlotCount; ++slot) {
      const int image = material.textureSlots[slot];
      if (image < 0 || image >= static_cast<int>(textures.size())) continue;
      phong->ConnectSrcObject(textures[static_cast<std::size_t>(image)]);
      slotTextures[slot]->GetDirectArray().Add(textures[static_cast<std::size_t>(image)]);
    }
  }

  if (materials->GetDirectArray().GetCount() == 0) return;
  layer->SetMaterials(materials);
  for (int slot = 0; slot < kTextureSlotCount; ++slot) {
    if (slotTextures[slot]->GetDirectArray().GetCount() > 0)
      layer->SetTextures(kTextureSlots[slot].fbxType, slotTextures[slot]);
  }
  FbxLayerElementArrayTemplate<int>& indices = materials->GetIndexArray();
  indices.Resize(mesh->GetPolygonCount());  // one per polygon of the mesh, which skipped missing ones
  int next = 0;
  for (const IEPoly* polygon : model.polygons)
    if (polygon) indices.SetAt(next++, polygon->material);
}

}  // namespace pigmora
