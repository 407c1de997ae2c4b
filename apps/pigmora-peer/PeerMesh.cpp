#include "PeerMesh.h"

#include <cmath>
#include <utility>

namespace {

// The element's direct-array position for a corner, read as it is stored.
bool UVPosition(const FbxLayerElementUV& uvs, int polygon, int corner, int controlPoint, int& position) {
  int entry = -1;
  switch (uvs.GetMappingMode()) {
    case FbxLayerElement::eByControlPoint: entry = controlPoint; break;
    case FbxLayerElement::eByPolygonVertex: entry = corner; break;
    case FbxLayerElement::eByPolygon: entry = polygon; break;
    case FbxLayerElement::eAllSame: entry = 0; break;
    default: return false;
  }
  const auto& indices = uvs.GetIndexArray();
  if (uvs.GetReferenceMode() != FbxLayerElement::eDirect && indices.GetCount() > 0) entry = indices.GetAt(entry);
  if (entry < 0 || entry >= uvs.GetDirectArray().GetCount()) return false;
  position = entry;
  return true;
}

int MaterialOf(const FbxLayerElementMaterial* element, int polygon) {
  if (!element) return -1;
  if (element->GetMappingMode() == FbxLayerElement::eAllSame) return element->GetIndexArray().GetAt(0);
  if (element->GetMappingMode() == FbxLayerElement::eByPolygon) return element->GetIndexArray().GetAt(polygon);
  return -1;
}

void ReadMaterial(const FbxSurfaceMaterial* source, PeerMesh::Material& material) {
  if (!source) return;
  material.name = source->GetName();
  if (const auto* lambert = FbxCast<FbxSurfaceLambert>(source)) {
    material.diffuse = lambert->Diffuse.Get();
    material.ambient = lambert->Ambient.Get();
    material.diffuseFactor = lambert->DiffuseFactor.Get();
    material.ambientFactor = lambert->AmbientFactor.Get();
  }
  if (const auto* phong = FbxCast<FbxSurfacePhong>(source)) {
    material.specular = phong->Specular.Get();
    material.specularFactor = phong->SpecularFactor.Get();
  }
}

}  // namespace

int PeerMesh::PolygonSize(int polygon) const {
  const std::size_t at = static_cast<std::size_t>(polygon);
  const int end = at + 1 < polygonStarts.size() ? polygonStarts[at + 1] : static_cast<int>(polygonVertices.size());
  return end - polygonStarts[at];
}

bool LoadPeerMesh(const std::string& path, PeerMesh& result, std::string& problem) {
  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "Model");
  FbxImporter* importer = FbxImporter::Create(manager, "");
  bool ok = importer->Initialize(path.c_str(), -1, nullptr) && importer->Import(scene, false);
  if (!ok) problem = "cannot read the model file " + path + ": " + importer->GetStatus().GetErrorString();
  FbxNode* node = ok && scene->GetRootNode()->GetChildCount() > 0 ? scene->GetRootNode()->GetChild(0) : nullptr;
  FbxMesh* mesh = node ? node->GetMesh() : nullptr;
  if (ok && !mesh) {
    problem = "the model file " + path + " holds no mesh in its first node";
    ok = false;
  }
  if (ok) {
    result.nodeName = node->GetName();
    // The scene goes at the end: its arrays are taken, not copied.
    result.points = std::move(mesh->ControlPoints());
    result.polygonVertices = std::move(mesh->PolygonVertices());
    result.polygonStarts = std::move(mesh->PolygonStarts());
    result.materials.reserve(static_cast<std::size_t>(node->GetMaterialCount()));
    for (int m = 0; m < node->GetMaterialCount(); ++m) {
      PeerMesh::Material material;
      ReadMaterial(node->GetMaterial(m), material);
      result.materials.push_back(material);
    }
    const FbxLayerElementUV* uvs = mesh->GetElementUV("map1");
    if (!uvs) uvs = mesh->GetElementUV(0);
    if (uvs) result.uvSetName = uvs->GetName();
    const FbxLayerElementMaterial* materials = mesh->GetElementMaterial(0);
    const std::size_t corners = result.polygonVertices.size();
    result.cornerUVs.assign(corners, FbxVector2(0, 0));
    result.cornerHasUV.assign(corners, 0);
    for (int p = 0; p < result.PolygonCount(); ++p) {
      const int material = MaterialOf(materials, p);
      const bool known = material >= 0 && material < static_cast<int>(result.materials.size());
      result.polygonMaterial.push_back(known ? material : -1);
      const int start = result.polygonStarts[static_cast<std::size_t>(p)];
      for (int k = 0; uvs && k < result.PolygonSize(p); ++k) {
        const std::size_t corner = static_cast<std::size_t>(start + k);
        int position = -1;
        if (!UVPosition(*uvs, p, start + k, result.polygonVertices[corner], position)) continue;
        const FbxVector2 uv = uvs->GetDirectArray().GetAt(position);
        if (!std::isfinite(uv[0]) || !std::isfinite(uv[1])) continue;  // no place in any image
        result.cornerUVs[corner] = uv;
        result.cornerHasUV[corner] = 1;
      }
    }
  }
  manager->Destroy();
  return ok;
}

bool SavePeerMesh(PeerMesh source, const std::string& path, bool ascii, std::string& problem) {
  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "Pigmora");
  FbxNode* node = FbxNode::Create(manager, source.nodeName.c_str());
  FbxMesh* mesh = FbxMesh::Create(manager, (source.nodeName + "Shape").c_str());
  node->SetNodeAttribute(mesh);
  mesh->ControlPoints() = std::move(source.points);
  mesh->PolygonVertices() = std::move(source.polygonVertices);
  mesh->PolygonStarts() = std::move(source.polygonStarts);
  if (!source.uvSetName.empty()) {
    FbxLayerElementUV* uvs = mesh->CreateElementUV(source.uvSetName.c_str());
    uvs->SetMappingMode(FbxLayerElement::eByPolygonVertex);
    uvs->SetReferenceMode(FbxLayerElement::eIndexToDirect);
    uvs->GetDirectArray().Items().assign(source.cornerUVs.begin(), source.cornerUVs.end());
    auto& indices = uvs->GetIndexArray().Items();
    indices.resize(source.cornerUVs.size());
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = source.cornerHasUV[i] ? static_cast<int>(i) : -1;
  }
  for (const PeerMesh::Material& material : source.materials) {
    FbxSurfacePhong* phong = FbxSurfacePhong::Create(manager, material.name.c_str());
    phong->Diffuse.Set(material.diffuse);
    phong->Ambient.Set(material.ambient);
    phong->Specular.Set(material.specular);
    phong->DiffuseFactor.Set(material.diffuseFactor);
    phong->AmbientFactor.Set(material.ambientFactor);
    phong->SpecularFactor.Set(material.specularFactor);
    node->AddMaterial(phong);
  }
  if (!source.materials.empty()) {
    FbxLayerElementMaterial* materials = mesh->CreateElementMaterial();
    materials->SetMappingMode(FbxLayerElement::eByPolygon);
    materials->SetReferenceMode(FbxLayerElement::eIndexToDirect);
    materials->GetIndexArray().Items() = std::move(source.polygonMaterial);
  }
  scene->GetRootNode()->AddChild(node);
  FbxExporter* exporter = FbxExporter::Create(manager, "");
  const int writer = ascii ? FbxIOPluginRegistry::eAsciiWriter : FbxIOPluginRegistry::eBinaryWriter;
  const bool ok = exporter->Initialize(path.c_str(), writer, nullptr) && exporter->Export(scene, false);
  if (!ok) problem = "cannot write " + path + ": " + exporter->GetStatus().GetErrorString();
  manager->Destroy();
  return ok;
}
