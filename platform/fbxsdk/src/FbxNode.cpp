#include "fbxsdk/fbxnode.h"

#include <algorithm>
#include <cstring>

#include "FbxObjectFactory.h"
#include "fbxsdk/fbxgeometry.h"
#include "fbxsdk/fbxsurface.h"

namespace fbxsdk {

FbxNode::FbxNode(FbxManager& manager, const char* name) : FbxObject(manager, name) {}
FBXSDK_DEFINE_FACTORY(FbxNode)

FbxNode::~FbxNode() {
  if (parent_) parent_->RemoveChild(this);
  for (FbxNode* child : children_) child->parent_ = nullptr;
}

FbxNodeAttribute* FbxNode::SetNodeAttribute(FbxNodeAttribute* attribute) {
  FbxNodeAttribute* old = GetNodeAttribute();
  if (old == attribute) return nullptr;
  if (old) DisconnectSrcObject(old);
  if (attribute) ConnectSrcObject(attribute);
  return old;
}

FbxNodeAttribute* FbxNode::GetNodeAttribute() const { return GetSrcObject<FbxNodeAttribute>(0); }

FbxMesh* FbxNode::GetMesh() const { return dynamic_cast<FbxMesh*>(GetNodeAttribute()); }

bool FbxNode::AddChild(FbxNode* child) {
  if (!child || child == this) return false;
  // Only a node with children can be an ancestor of this one; a leaf needs no walk up.
  if (!child->children_.empty())
    for (FbxNode* up = this; up; up = up->parent_)
      if (up == child) return false;  // would make a cycle
  if (child->parent_) child->parent_->RemoveChild(child);
  child->parent_ = this;
  children_.push_back(child);
  return true;
}

FbxNode* FbxNode::RemoveChild(FbxNode* child) {
  // From the back: clearing destroys the newest children first, so this stays cheap.
  auto found = std::find(children_.rbegin(), children_.rend(), child);
  if (found == children_.rend()) return nullptr;
  children_.erase(std::next(found).base());
  child->parent_ = nullptr;
  return child;
}

int FbxNode::GetChildCount(bool recursive) const {
  if (!recursive) return static_cast<int>(children_.size());
  // Without recursion: a file may nest nodes deeper than the stack would allow.
  int n = 0;
  std::vector<const FbxNode*> pending{this};
  while (!pending.empty()) {
    const FbxNode* node = pending.back();
    pending.pop_back();
    n += static_cast<int>(node->children_.size());
    pending.insert(pending.end(), node->children_.begin(), node->children_.end());
  }
  return n;
}

FbxNode* FbxNode::GetChild(int index) const {
  return index >= 0 && index < static_cast<int>(children_.size()) ? children_[static_cast<size_t>(index)] : nullptr;
}

int FbxNode::AddMaterial(FbxSurfaceMaterial* material) {
  if (!material) return -1;
  // A material has few destinations where a node may have many materials:
  // only one already connected here is searched for among them.
  bool connected = false;
  for (int i = 0; i < material->GetDstObjectCount() && !connected; ++i) connected = material->GetDstObject(i) == this;
  if (connected)
    for (int i = 0; i < GetMaterialCount(); ++i)
      if (GetMaterial(i) == material) return i;
  ConnectSrcObject(material);
  return GetMaterialCount() - 1;
}

int FbxNode::GetMaterialCount() const { return GetSrcObjectCount<FbxSurfaceMaterial>(); }

FbxSurfaceMaterial* FbxNode::GetMaterial(int index) const { return GetSrcObject<FbxSurfaceMaterial>(index); }

int FbxNode::GetMaterialIndex(const char* name) const {
  if (!name) return -1;
  // The index by name is rebuilt after any change of the node's sources or of any object's name.
  if (materialNames_.sourcesVersion != GetSrcObjectsVersion() || materialNames_.renameCount != GetRenameCount()) {
    materialNames_.firstByName.clear();
    for (int i = 0; i < GetMaterialCount(); ++i) materialNames_.firstByName.emplace(GetMaterial(i)->GetName(), i);
    materialNames_.sourcesVersion = GetSrcObjectsVersion();
    materialNames_.renameCount = GetRenameCount();
  }
  auto found = materialNames_.firstByName.find(name);
  return found != materialNames_.firstByName.end() ? found->second : -1;
}

}  // namespace fbxsdk
