#include "fbxsdk/fbxscene.h"

#include <algorithm>
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
    if (mInfo) DisconnectSrcObject(mInfo);
    mInfo = info;
    if (info) ConnectSrcObject(info);
}

void FbxDocument::Clear() {
    FbxDocumentInfo* info = mInfo;
    SetDocumentInfo(nullptr);
    if (info) info->Destroy();
}

FbxScene::FbxScene(FbxManager& manager, const char* name)
    : FbxDocument(manager, name), mRoot(FbxNode::Create(&manager, "RootNode")) {
    ConnectSrcObject(mRoot);
}
FBXSDK_DEFINE_FACTORY(FbxScene)

FbxScene::~FbxScene() = default;

namespace {
void Collect(std::vector<FbxObject*>& doomed, FbxObject* object) {
    if (object && std::find(doomed.begin(), doomed.end(), object) == doomed.end()) doomed.push_back(object);
}

void CollectMaterial(std::vector<FbxObject*>& doomed, FbxSurfaceMaterial* material) {
    Collect(doomed, material);
    for (int t = 0; t < material->GetSrcObjectCount<FbxTexture>(); ++t) Collect(doomed, material->GetSrcObject<FbxTexture>(t));
}

void CollectNode(std::vector<FbxObject*>& doomed, FbxNode* node) {
    Collect(doomed, node);
    FbxNodeAttribute* attribute = node->GetNodeAttribute();
    Collect(doomed, attribute);
    for (int i = 0; i < node->GetMaterialCount(); ++i) CollectMaterial(doomed, node->GetMaterial(i));
    // Materials and textures that only the mesh's layers name belong to the scene as well.
    FbxManager* manager = node->GetFbxManager();
    if (auto* geometry = dynamic_cast<FbxGeometryBase*>(attribute)) {
        for (int l = 0; l < geometry->GetLayerCount(); ++l) {
            FbxLayer* layer = geometry->GetLayer(l);
            if (FbxLayerElementMaterial* materials = layer->GetMaterials())
                for (FbxSurfaceMaterial* material : materials->GetDirectArray().Items())
                    if (manager->Owns(material)) CollectMaterial(doomed, material);
            for (int t = FbxLayerElement::sTypeTextureStartIndex; t <= FbxLayerElement::sTypeTextureEndIndex; ++t)
                if (FbxLayerElementTexture* textures = layer->GetTextures(static_cast<FbxLayerElement::EType>(t)))
                    for (FbxTexture* texture : textures->GetDirectArray().Items())
                        if (manager->Owns(texture)) Collect(doomed, texture);
        }
    }
    for (int c = 0; c < node->GetChildCount(); ++c) CollectNode(doomed, node->GetChild(c));
}
}  // namespace

void FbxScene::Clear() {
    FbxDocument::Clear();
    if (!mRoot) return;
    std::vector<FbxObject*> doomed;
    for (int c = 0; c < mRoot->GetChildCount(); ++c) CollectNode(doomed, mRoot->GetChild(c));
    for (FbxObject* object : doomed) object->Destroy();
}

}  // namespace fbxsdk
