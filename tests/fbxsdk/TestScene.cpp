#include "TestScene.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fbxtest {

PluginLikeScene BuildPluginLikeScene(FbxManager& manager, FbxScene& scene, bool polygonWithoutUVs) {
  PluginLikeScene built;
  built.node = FbxNode::Create(&manager, "Head");
  built.mesh = FbxMesh::Create(&manager, "HeadShape");
  built.node->SetNodeAttribute(built.mesh);
  built.node->SetShadingMode(FbxNode::eTextureShading);
  FbxMesh& mesh = *built.mesh;
  if (!mesh.GetLayer(0)) mesh.CreateLayer();

  // 4 x 3 control points; quads between them, then one triangle.
  mesh.InitControlPoints(12);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) mesh.GetControlPoints()[y * 4 + x].Set(1.5 * x, -2.0 * y, 3.0 + x, 1.0);

  FbxLayerElementUV* uvs = mesh.CreateElementUV("map1", FbxLayerElement::eTextureDiffuse);
  uvs->SetMappingMode(FbxLayerElement::eByPolygonVertex);
  uvs->SetReferenceMode(FbxLayerElement::eIndexToDirect);
  int counter = 0;
  auto addPolygon = [&](std::vector<int> corners, bool withUVs) {
    mesh.BeginPolygon(-1, -1, -1, false);
    for (int corner : corners) {
      mesh.AddPolygon(corner, -1);
      if (withUVs) {
        FbxVector4 p = mesh.GetControlPointAt(corner);
        uvs->GetDirectArray().Add(FbxVector2(p[0] / 4.5, 1.0 - (-p[1] / 4.0 + 0.25)));
        uvs->GetIndexArray().Add(counter++);
      } else {
        uvs->GetIndexArray().Add(-1);
      }
    }
    mesh.EndPolygon();
  };
  int polygon = 0;
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x, ++polygon)
      addPolygon({y * 4 + x, y * 4 + x + 1, (y + 1) * 4 + x + 1, (y + 1) * 4 + x},
                 !(polygonWithoutUVs && polygon == 4));
  addPolygon({0, 1, 5}, true);

  const char* paths[3] = {"/textures/color map.png", "/textures/specular.tif", "/textures/normal.png"};
  for (int i = 0; i < 3; ++i) {
    std::string name = std::filesystem::path(paths[i]).stem().string();
    FbxFileTexture* texture = FbxFileTexture::Create(&manager, name.c_str());
    texture->SetFileName(paths[i]);
    texture->SetTextureUse(FbxTexture::eStandard);
    texture->SetMappingType(FbxTexture::eUV);
    texture->SetMaterialUse(FbxFileTexture::eModelMaterial);
    texture->SetSwapUV(false);
    texture->SetTranslation(0.0, 0.0);
    texture->SetScale(1.0, 1.0);
    texture->SetRotation(0.0, 0.0);
    built.textures[i] = texture;
  }

  // As the plug-in does: layer elements made on a container outside the mesh.
  FbxLayerContainer* auxiliary = FbxLayerContainer::Create(&manager, "");
  FbxLayerElementMaterial* materials = FbxLayerElementMaterial::Create(auxiliary, "");
  materials->SetMappingMode(FbxLayerElement::eByPolygon);
  materials->SetReferenceMode(FbxLayerElement::eIndexToDirect);
  FbxLayerElementTexture* diffuse = FbxLayerElementTexture::Create(auxiliary, "");
  FbxLayerElementTexture* specular = FbxLayerElementTexture::Create(auxiliary, "");
  FbxLayerElementTexture* normal = FbxLayerElementTexture::Create(auxiliary, "");

  const char* names[2] = {"default", "left_arm"};
  for (int m = 0; m < 2; ++m) {
    FbxSurfacePhong* phong = FbxSurfacePhong::Create(&manager, names[m]);
    phong->Ambient.Set(FbxDouble3(0.1 * m, 0.2, 0.3));
    phong->AmbientFactor.Set(0.5 + m);
    phong->Diffuse.Set(FbxDouble3(0.3, 0.2 + m * 0.5, 0.1));
    phong->DiffuseFactor.Set(0.75);
    phong->Specular.Set(FbxDouble3(0.9, 0.8, 0.7 - m * 0.25));
    phong->SpecularFactor.Set(0.25 * (m + 1));
    phong->BumpFactor.Set(1.0);
    phong->DisplacementFactor.Set(0.5 * m + 1.0);
    materials->GetDirectArray().Add(phong);
    built.materials[m] = phong;
  }
  built.materials[0]->ConnectSrcObject(built.textures[0]);
  diffuse->GetDirectArray().Add(built.textures[0]);
  built.materials[1]->ConnectSrcObject(built.textures[1]);
  specular->GetDirectArray().Add(built.textures[1]);
  built.materials[1]->ConnectSrcObject(built.textures[2]);
  normal->GetDirectArray().Add(built.textures[2]);

  FbxLayer* layer = mesh.GetLayer(0);
  layer->SetMaterials(materials);
  layer->SetTextures(FbxLayerElement::eTextureDiffuse, diffuse);
  layer->SetTextures(FbxLayerElement::eTextureSpecularFactor, specular);
  layer->SetTextures(FbxLayerElement::eTextureNormalMap, normal);
  for (int p = 0; p < mesh.GetPolygonCount(); ++p) materials->GetIndexArray().Add(p % 3 == 2 ? 1 : 0);

  FbxDocumentInfo* info = FbxDocumentInfo::Create(&manager, "SceneInfo");
  info->mTitle = "Head";
  info->mAuthor = "Pigmora applink for Hash Animator";
  info->mRevision = "rev. 1.0";
  scene.SetDocumentInfo(info);
  scene.GetRootNode()->AddChild(built.node);
  return built;
}

bool Save(FbxManager& manager, FbxScene& scene, const std::string& path, int writer, std::string* error) {
  FbxExporter* exporter = FbxExporter::Create(&manager, "");
  bool ok = exporter->Initialize(path.c_str(), writer, manager.GetIOSettings()) && exporter->Export(&scene, false);
  if (!ok && error) *error = exporter->GetStatus().GetErrorString();
  exporter->Destroy();
  return ok;
}

bool Imported::Warned(std::initializer_list<const char*> texts) const {
  for (const std::string& warning : warnings) {
    bool all = true;
    for (const char* text : texts) all = all && warning.find(text) != std::string::npos;
    if (all) return true;
  }
  return false;
}

Imported Import(FbxManager& manager, FbxScene& scene, const std::string& path) {
  Imported result;
  FbxImporter* importer = FbxImporter::Create(&manager, "");
  result.initialized = importer->Initialize(path.c_str(), -1, manager.GetIOSettings());
  result.ok = result.initialized && importer->Import(&scene, false);
  result.status = importer->GetStatus();
  int major, minor, revision;
  importer->GetFileVersion(major, minor, revision);
  result.version = major * 1000 + minor * 100 + revision;
  result.binary = importer->IsBinary();
  for (int w = 0; w < importer->GetWarningCount(); ++w) result.warnings.push_back(importer->GetWarning(w));
  importer->Destroy();
  return result;
}

Imported ImportBytes(FbxManager& manager, FbxScene& scene, const ScratchFolder& folder, const std::string& bytes,
                     const std::string& name) {
  ScratchFolder::WriteFile(folder.Path(name), bytes);
  return Import(manager, scene, folder.Path(name));
}

bool Load(FbxManager& manager, FbxScene& scene, const std::string& path, FbxStatus* status) {
  Imported result = Import(manager, scene, path);
  if (status) *status = result.status;
  return result.ok;
}

}  // namespace fbxtest
