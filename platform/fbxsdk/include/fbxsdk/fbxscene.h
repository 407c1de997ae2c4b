// Documents and scenes: the root node, document information and clearing.
#pragma once

#include "fbxobject.h"

namespace fbxsdk {

class FbxNode;

class FBXSDK_DLL FbxDocumentInfo : public FbxObject {
  FBXSDK_OBJECT_FACTORY(FbxDocumentInfo)
  FbxString mTitle;
  FbxString mSubject;
  FbxString mAuthor;
  FbxString mKeywords;
  FbxString mRevision;
  FbxString mComment;
};

class FBXSDK_DLL FbxDocument : public FbxObject {
public:
  void SetDocumentInfo(FbxDocumentInfo* info);
  FbxDocumentInfo* GetDocumentInfo() const { return info_; }
  virtual void Clear();

protected:
  FbxDocument(FbxManager& manager, const char* name) : FbxObject(manager, name) {}

private:
  FbxDocumentInfo* info_ = nullptr;
};

class FBXSDK_DLL FbxScene : public FbxDocument {
  FBXSDK_OBJECT_FACTORY(FbxScene)
  FbxNode* GetRootNode() const { return root_; }
  // Destroys the nodes under the root with their attributes, materials and
  // textures, and the document information. Objects not in the scene survive.
  void Clear() override;
  ~FbxScene() override;

private:
  FbxNode* root_ = nullptr;
};

}  // namespace fbxsdk
