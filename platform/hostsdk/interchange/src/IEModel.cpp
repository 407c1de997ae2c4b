#include "Interchange/IEModel.h"

#include <cstring>

namespace {

// Each node's subtree goes before the node; siblings are walked, not recursed.
void DestroyNodes(IENode* node) {
  while (node) {
    IENode* next = node->nextSibling;
    DestroyNodes(node->firstChild);
    delete node;
    node = next;
  }
}

}  // namespace

IENode::IENode() { std::memset(hostData, 0, sizeof(hostData)); }

IENode::~IENode() = default;

IEModel::IEModel() = default;

IEModel::~IEModel() {
  DestroyNodes(root);
  root = nullptr;
  materials.Release();
  materialTags.Release();
  images.Release();
  imageTags.Release();
  // The vertex collection is destroyed last, as the member declared first.
}

bool IEModel::AddImage(const char* path) {
  IEImage image{};
  if (!image.SetPath(path)) return false;
  if (!images.Append(image)) return false;
  if (!imageTags.Append(-1)) {
    images.SetCount(images.count - 1);
    return false;
  }
  return true;
}

IEMaterial* IEModel::AddMaterial(const char* name) {
  IEMaterial named = IEMaterial::Defaults();
  if (!named.SetName(name)) return nullptr;
  if (!materials.Append(named)) return nullptr;
  if (!materialTags.Append(-1)) {
    materials.SetCount(materials.count - 1);
    return nullptr;
  }
  return &materials[materials.count - 1];
}

IEPolyModel::IEPolyModel() = default;

IEPolyModel::~IEPolyModel() {
  secondVectors.Clear();
  for (IEPoly* polygon : polygons) delete polygon;  // null entries are skipped by delete
  // Then the members go in reverse order: the second collection, then the
  // polygon storage, then the IEModel part.
}

bool IEPolyModel::AddVertex(float x, float y, float z) { return vertices.vectors.Append(IEVector{x, y, z}); }

bool IEPolyModel::AddPolygon(IEPoly* polygon) { return polygons.Append(polygon); }
