#include "fbxsdk/fbxgeometry.h"

#include <cstring>

#include "FbxObjectFactory.h"
#include "fbxsdk/fbxnode.h"

namespace fbxsdk {

// ---- FbxNodeAttribute ----

int FbxNodeAttribute::GetNodeCount() const {
  int n = 0;
  for (int i = 0; i < GetDstObjectCount(); ++i)
    if (dynamic_cast<FbxNode*>(GetDstObject(i))) ++n;
  return n;
}

FbxNode* FbxNodeAttribute::GetNode(int index) const {
  for (int i = 0; i < GetDstObjectCount(); ++i)
    if (auto* node = dynamic_cast<FbxNode*>(GetDstObject(i)))
      if (index-- == 0) return node;
  return nullptr;
}

// ---- FbxLayerContainer ----

FbxLayerContainer::FbxLayerContainer(FbxManager& manager, const char* name) : FbxNodeAttribute(manager, name) {}
FBXSDK_DEFINE_FACTORY(FbxLayerContainer)

int FbxLayerContainer::CreateLayer() {
  layers_.push_back(std::make_unique<FbxLayer>());
  return GetLayerCount() - 1;
}

FbxLayer* FbxLayerContainer::GetLayer(int index) {
  return index >= 0 && index < GetLayerCount() ? layers_[static_cast<size_t>(index)].get() : nullptr;
}

const FbxLayer* FbxLayerContainer::GetLayer(int index) const {
  return index >= 0 && index < GetLayerCount() ? layers_[static_cast<size_t>(index)].get() : nullptr;
}

// ---- FbxGeometryBase ----

void FbxGeometryBase::InitControlPoints(int count) {
  controlPoints_.assign(count > 0 ? static_cast<size_t>(count) : 0, FbxVector4(0, 0, 0, 1));
}

void FbxGeometryBase::SetControlPointAt(const FbxVector4& point, int index) {
  if (index < 0) return;
  if (index >= GetControlPointsCount()) controlPoints_.resize(static_cast<size_t>(index) + 1, FbxVector4(0, 0, 0, 1));
  controlPoints_[static_cast<size_t>(index)] = point;
}

FbxVector4 FbxGeometryBase::GetControlPointAt(int index) const {
  return index >= 0 && index < GetControlPointsCount() ? controlPoints_[static_cast<size_t>(index)] : FbxVector4();
}

namespace {
bool TypeMatches(FbxLayerElement::EType wanted, int type) {
  return wanted == FbxLayerElement::eUnknown || wanted == type;
}
}  // namespace

FbxLayerElementUV* FbxGeometryBase::CreateElementUV(const char* name, FbxLayerElement::EType type) {
  if (type < FbxLayerElement::sTypeTextureStartIndex || type > FbxLayerElement::sTypeTextureEndIndex) return nullptr;
  int layer = 0;
  while (layer < GetLayerCount() && GetLayer(layer)->GetUVs(type)) ++layer;
  if (layer == GetLayerCount()) CreateLayer();
  FbxLayerElementUV* uvs = FbxLayerElementUV::Create(this, name);
  GetLayer(layer)->SetUVs(uvs, type);
  return uvs;
}

int FbxGeometryBase::GetElementUVCount(FbxLayerElement::EType type) const {
  int n = 0;
  for (int l = 0; l < GetLayerCount(); ++l)
    for (int t = FbxLayerElement::sTypeTextureStartIndex; t <= FbxLayerElement::sTypeTextureEndIndex; ++t)
      if (TypeMatches(type, t) && GetLayer(l)->GetUVs(static_cast<FbxLayerElement::EType>(t))) ++n;
  return n;
}

FbxLayerElementUV* FbxGeometryBase::GetElementUV(int index, FbxLayerElement::EType type) {
  for (int l = 0; l < GetLayerCount(); ++l)
    for (int t = FbxLayerElement::sTypeTextureStartIndex; t <= FbxLayerElement::sTypeTextureEndIndex; ++t)
      if (TypeMatches(type, t))
        if (FbxLayerElementUV* uvs = GetLayer(l)->GetUVs(static_cast<FbxLayerElement::EType>(t)))
          if (index-- == 0) return uvs;
  return nullptr;
}

FbxLayerElementUV* FbxGeometryBase::GetElementUV(const char* name) {
  if (!name) return nullptr;
  for (int i = 0; i < GetElementUVCount(); ++i) {
    FbxLayerElementUV* uvs = GetElementUV(i);
    if (std::strcmp(uvs->GetName(), name) == 0) return uvs;
  }
  return nullptr;
}

FbxLayerElementMaterial* FbxGeometryBase::CreateElementMaterial() {
  int layer = 0;
  while (layer < GetLayerCount() && GetLayer(layer)->GetMaterials()) ++layer;
  if (layer == GetLayerCount()) CreateLayer();
  FbxLayerElementMaterial* materials = FbxLayerElementMaterial::Create(this, "");
  GetLayer(layer)->SetMaterials(materials);
  return materials;
}

int FbxGeometryBase::GetElementMaterialCount() const {
  int n = 0;
  for (int l = 0; l < GetLayerCount(); ++l)
    if (GetLayer(l)->GetMaterials()) ++n;
  return n;
}

FbxLayerElementMaterial* FbxGeometryBase::GetElementMaterial(int index) {
  for (int l = 0; l < GetLayerCount(); ++l)
    if (FbxLayerElementMaterial* materials = GetLayer(l)->GetMaterials())
      if (index-- == 0) return materials;
  return nullptr;
}

// ---- FbxMesh ----

FbxMesh::FbxMesh(FbxManager& manager, const char* name) : FbxGeometry(manager, name) {}
FBXSDK_DEFINE_FACTORY(FbxMesh)

void FbxMesh::BeginPolygon(int material, int, int, bool) {
  if (polygonOpen_) EndPolygon();
  polygonStarts_.push_back(GetPolygonVertexCount());
  polygonOpen_ = true;
  if (material < 0) return;
  FbxLayer* layer = GetLayer(0);
  FbxLayerElementMaterial* materials = layer ? layer->GetMaterials() : nullptr;
  if (materials && materials->GetMappingMode() == FbxLayerElement::eByPolygon) {
    auto& indices = materials->GetIndexArray();
    if (indices.GetCount() < GetPolygonCount()) indices.Resize(GetPolygonCount());
    indices.SetAt(GetPolygonCount() - 1, material);
  }
}

void FbxMesh::AddPolygon(int index, int textureUVIndex) {
  if (!polygonOpen_) return;
  polygonVertices_.push_back(index);
  if (textureUVIndex < 0) return;
  FbxLayer* layer = GetLayer(0);
  if (!layer) return;
  for (int t = FbxLayerElement::sTypeTextureStartIndex; t <= FbxLayerElement::sTypeTextureEndIndex; ++t) {
    FbxLayerElementUV* uvs = layer->GetUVs(static_cast<FbxLayerElement::EType>(t));
    if (!uvs || uvs->GetMappingMode() != FbxLayerElement::eByPolygonVertex ||
        uvs->GetReferenceMode() == FbxLayerElement::eDirect)
      continue;
    auto& indices = uvs->GetIndexArray();
    if (indices.GetCount() < GetPolygonVertexCount()) indices.Resize(GetPolygonVertexCount());
    indices.SetAt(GetPolygonVertexCount() - 1, textureUVIndex);
  }
}

void FbxMesh::EndPolygon() { polygonOpen_ = false; }

int FbxMesh::GetPolygonSize(int polygon) const {
  if (polygon < 0 || polygon >= GetPolygonCount()) return -1;
  size_t p = static_cast<size_t>(polygon);
  int end = p + 1 < polygonStarts_.size() ? polygonStarts_[p + 1] : GetPolygonVertexCount();
  return end - polygonStarts_[p];
}

int FbxMesh::GetPolygonVertexIndex(int polygon) const {
  return polygon >= 0 && polygon < GetPolygonCount() ? polygonStarts_[static_cast<size_t>(polygon)] : -1;
}

int FbxMesh::GetPolygonVertex(int polygon, int corner) const {
  int size = GetPolygonSize(polygon);
  if (corner < 0 || corner >= size) return -1;
  return polygonVertices_[static_cast<size_t>(GetPolygonVertexIndex(polygon) + corner)];
}

}  // namespace fbxsdk
