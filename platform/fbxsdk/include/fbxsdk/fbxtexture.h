// Textures: the file texture that materials and texture layer elements refer to.
#pragma once

#include "fbxobject.h"

namespace fbxsdk {

class FBXSDK_DLL FbxTexture : public FbxObject {
public:
  enum ETextureUse { eStandard, eShadowMap, eLightMap, eSphericalReflectionMap, eSphereReflectionMap, eBumpNormalMap };
  enum EMappingType { eNull, ePlanar, eSpherical, eCylindrical, eBox, eFace, eUV, eEnvironment };

  void SetTextureUse(ETextureUse use) { textureUse_ = use; }
  ETextureUse GetTextureUse() const { return textureUse_; }
  void SetMappingType(EMappingType type) { mappingType_ = type; }
  EMappingType GetMappingType() const { return mappingType_; }
  void SetSwapUV(bool swap) { swapUV_ = swap; }
  bool GetSwapUV() const { return swapUV_; }
  void SetTranslation(double u, double v) { translation_ = FbxDouble2(u, v); }
  FbxDouble2 GetTranslation() const { return translation_; }
  void SetScale(double u, double v) { scale_ = FbxDouble2(u, v); }
  FbxDouble2 GetScale() const { return scale_; }
  void SetRotation(double u, double v, double w = 0.0) { rotation_ = FbxDouble3(u, v, w); }
  FbxDouble3 GetRotation() const { return rotation_; }

protected:
  FbxTexture(FbxManager& manager, const char* name) : FbxObject(manager, name) {}

private:
  ETextureUse textureUse_ = eStandard;
  EMappingType mappingType_ = eUV;
  bool swapUV_ = false;
  FbxDouble2 translation_{0.0, 0.0};
  FbxDouble2 scale_{1.0, 1.0};
  FbxDouble3 rotation_{0.0, 0.0, 0.0};
};

class FBXSDK_DLL FbxFileTexture : public FbxTexture {
  FBXSDK_OBJECT_FACTORY(FbxFileTexture)
  enum EMaterialUse { eModelMaterial, eDefaultMaterial };

  bool SetFileName(const char* path);
  const char* GetFileName() const { return fileName_; }
  bool SetRelativeFileName(const char* path);
  const char* GetRelativeFileName() const { return relativeFileName_; }
  void SetMaterialUse(EMaterialUse use) { materialUse_ = use; }
  EMaterialUse GetMaterialUse() const { return materialUse_; }

private:
  FbxString fileName_;
  FbxString relativeFileName_;
  EMaterialUse materialUse_ = eModelMaterial;
};

}  // namespace fbxsdk
