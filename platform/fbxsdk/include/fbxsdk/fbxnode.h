// FbxNode: a named node of the scene tree with an attribute and materials.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "fbxobject.h"

namespace fbxsdk {

class FbxMesh;
class FbxNodeAttribute;
class FbxSurfaceMaterial;

class FBXSDK_DLL FbxNode : public FbxObject {
  FBXSDK_OBJECT_FACTORY(FbxNode)
  enum EShadingMode { eHardShading, eWireFrame, eFlatShading, eLightShading, eTextureShading, eFullShading };

  // Returns the attribute it replaces, or null.
  FbxNodeAttribute* SetNodeAttribute(FbxNodeAttribute* attribute);
  FbxNodeAttribute* GetNodeAttribute() const;
  FbxMesh* GetMesh() const;

  void SetShadingMode(EShadingMode mode) { shadingMode_ = mode; }
  EShadingMode GetShadingMode() const { return shadingMode_; }

  // A node has one parent; adding it elsewhere moves it.
  bool AddChild(FbxNode* child);
  FbxNode* RemoveChild(FbxNode* child);
  int GetChildCount(bool recursive = false) const;
  FbxNode* GetChild(int index) const;
  FbxNode* GetParent() const { return parent_; }

  // Materials in the node's order; the material layer's indices refer to it.
  int AddMaterial(FbxSurfaceMaterial* material);
  int GetMaterialCount() const;
  FbxSurfaceMaterial* GetMaterial(int index) const;
  // Position of the first material with this name, or -1.
  int GetMaterialIndex(const char* name) const;

  ~FbxNode() override;

private:
  std::vector<FbxNode*> children_;
  FbxNode* parent_ = nullptr;
  EShadingMode shadingMode_ = eHardShading;
  struct MaterialNames {
    unsigned long long sourcesVersion = ~0ull;
    unsigned long long renameCount = ~0ull;
    std::unordered_map<std::string, int> firstByName;
  };
  mutable MaterialNames materialNames_;
};

}  // namespace fbxsdk
