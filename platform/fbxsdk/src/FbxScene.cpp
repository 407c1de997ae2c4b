#include "fbxsdk/fbxscene.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

#include "FbxObjectFactory.h"
#include "fbxsdk/fbxgeometry.h"
#include "fbxsdk/fbxnode.h"
#include "fbxsdk/fbxsurface.h"
#include "fbxsdk/fbxtexture.h"

namespace fbxsdk {

FbxDocumentInfo::FbxDocumentInfo(FbxManager& manager, const char* name) : FbxObject(manager, name) {}
FBXSDK_DEFINE_FACTORY(FbxDocumentInfo)

void FbxDocument::SetDocumentInfo(FbxDocumentInfo* info) {
  if (info_) DisconnectSrcObject(info_);
  info_ = info;
  if (info) ConnectSrcObject(info);
}

void FbxDocument::Clear() {
  FbxDocumentInfo* info = info_;
  SetDocumentInfo(nullptr);
  if (info) info->Destroy();
}

FbxScene::FbxScene(FbxManager& manager, const char* name)
    : FbxDocument(manager, name), root_(FbxNode::Create(&manager, "RootNode")) {
  ConnectSrcObject(root_);
}
FBXSDK_DEFINE_FACTORY(FbxScene)

FbxScene::~FbxScene() = default;

namespace {

// What the scene holds, in an order where parents come before their children.
class SceneContent {
public:
  void Add(FbxObject* object) {
    if (object && seen_.insert(object).second) order_.push_back(object);
  }

  void AddMaterial(FbxSurfaceMaterial* material) {
    Add(material);
    for (int t = 0; t < material->GetSrcObjectCount<FbxTexture>(); ++t) Add(material->GetSrcObject<FbxTexture>(t));
  }

  // Without recursion: a file may nest nodes deeper than the stack would allow.
  void AddTree(FbxNode* top) {
    std::vector<FbxNode*> pending{top};
    while (!pending.empty()) {
      FbxNode* node = pending.back();
      pending.pop_back();
      AddNode(node);
      for (int c = node->GetChildCount() - 1; c >= 0; --c) pending.push_back(node->GetChild(c));
    }
  }

  const std::vector<FbxObject*>& Objects() const { return order_; }

private:
  void AddNode(FbxNode* node) {
    Add(node);
    FbxNodeAttribute* attribute = node->GetNodeAttribute();
    Add(attribute);
    // One walk over the connections: the typed look-up by index walks them all each time.
    for (int i = 0; i < node->GetSrcObjectCount(); ++i)
      if (auto* material = FbxCast<FbxSurfaceMaterial>(node->GetSrcObject(i))) AddMaterial(material);
    // Materials and textures that only the mesh's layers name belong to the scene as well.
    FbxManager* manager = node->GetFbxManager();
    auto* geometry = dynamic_cast<FbxGeometryBase*>(attribute);
    for (int l = 0; geometry && l < geometry->GetLayerCount(); ++l) {
      FbxLayer* layer = geometry->GetLayer(l);
      if (FbxLayerElementMaterial* materials = layer->GetMaterials())
        for (FbxSurfaceMaterial* material : materials->GetDirectArray().Items())
          if (manager->Owns(material)) AddMaterial(material);
      for (int t = FbxLayerElement::sTypeTextureStartIndex; t <= FbxLayerElement::sTypeTextureEndIndex; ++t)
        if (FbxLayerElementTexture* textures = layer->GetTextures(static_cast<FbxLayerElement::EType>(t)))
          for (FbxTexture* texture : textures->GetDirectArray().Items())
            if (manager->Owns(texture)) Add(texture);
    }
  }

  std::unordered_set<FbxObject*> seen_;
  std::vector<FbxObject*> order_;
};

}  // namespace

void FbxScene::Clear() {
  FbxDocument::Clear();
  if (!root_) return;
  SceneContent content;
  for (int c = 0; c < root_->GetChildCount(); ++c) content.AddTree(root_->GetChild(c));
  // Newest connections first: children before parents, the root's last child before its first.
  const std::vector<FbxObject*>& objects = content.Objects();
  for (auto object = objects.rbegin(); object != objects.rend(); ++object) (*object)->Destroy();
}

}  // namespace fbxsdk
