// Textures: the file texture that materials and texture layer elements refer to.
#pragma once

#include "fbxobject.h"

namespace fbxsdk {

class FBXSDK_DLL FbxTexture : public FbxObject {
public:
  enum ETextureUse { eStandard, eShadowMap, eLightMap, eSphericalReflectionMap, eSphereReflectionMap, eBumpNormalMap };
  enum EMappingType { eNull, ePlanar, eSpherical, eCylindrical, eBox, eFace, eUV, eEnvironment };

  void SetTextureUse(ETextureUse use) { mTextureUse = use; }
  ETextureUse GetTextureUse() const { return mTextureUse; }
  void SetMappingType(EMappingType type) { mMappingType = type; }
  EMappingType GetMappingType() const { return mMappingType; }
  void SetSwapUV(bool swap) { mSwapUV = swap; }
  bool GetSwapUV() const { return mSwapUV; }
  void SetTranslation(double u, double v) { mTranslation = FbxDouble2(u, v); }
  FbxDouble2 GetTranslation() const { return mTranslation; }
  void SetScale(double u, double v) { mScale = FbxDouble2(u, v); }
  FbxDouble2 GetScale() const { return mScale; }
  void SetRotation(double u, double v, double w = 0.0) { mRotation = FbxDouble3(u, v, w); }
  FbxDouble3 GetRotation() const { return mRotation; }

protected:
  FbxTexture(FbxManager& manager, const char* name) : FbxObject(manager, name) {}

private:
  ETextureUse mTextureUse = eStandard;
  EMappingType mMappingType = eUV;
  bool mSwapUV = false;
  FbxDouble2 mTranslation{0.0, 0.0};
  FbxDouble2 mScale{1.0, 1.0};
  FbxDouble3 mRotation{0.0, 0.0, 0.0};
};

class FBXSDK_DLL FbxFileTexture : public FbxTexture {
  FBXSDK_OBJECT_FACTORY(FbxFileTexture)
  enum EMaterialUse { eModelMaterial, eDefaultMaterial };

  bool SetFileName(const char* path);
  const char* GetFileName() const { return mFileName; }
  bool SetRelativeFileName(const char* path);
  const char* GetRelativeFileName() const { return mRelativeFileName; }
  void SetMaterialUse(EMaterialUse use) { mMaterialUse = use; }
  EMaterialUse GetMaterialUse() const { return mMaterialUse; }

private:
  FbxString mFileName;
  FbxString mRelativeFileName;
  EMaterialUse mMaterialUse = eModelMaterial;
};

}  // namespace fbxsdk
