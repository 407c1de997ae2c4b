// Surface materials: Lambert and Phong, with their properties under their file names.
#pragma once

#include "fbxobject.h"

namespace fbxsdk {

class FBXSDK_DLL FbxSurfaceMaterial : public FbxObject {
public:
  // Property names as stored in files, also the names textures connect to.
  static const char* sShadingModel;
  static const char* sEmissive;
  static const char* sEmissiveFactor;
  static const char* sAmbient;
  static const char* sAmbientFactor;
  static const char* sDiffuse;
  static const char* sDiffuseFactor;
  static const char* sSpecular;
  static const char* sSpecularFactor;
  static const char* sShininess;
  static const char* sBump;
  static const char* sNormalMap;
  static const char* sBumpFactor;
  static const char* sTransparentColor;
  static const char* sTransparencyFactor;
  static const char* sReflection;
  static const char* sReflectionFactor;
  static const char* sDisplacementColor;
  static const char* sDisplacementFactor;
  static const char* sVectorDisplacementColor;
  static const char* sVectorDisplacementFactor;

  FbxPropertyT<FbxString> ShadingModel;

protected:
  FbxSurfaceMaterial(FbxManager& manager, const char* name, const FbxPropertyInfo& shadingModel);
};

class FBXSDK_DLL FbxSurfaceLambert : public FbxSurfaceMaterial {
  FBXSDK_OBJECT_FACTORY(FbxSurfaceLambert)
  FbxPropertyT<FbxDouble3> Emissive;
  FbxPropertyT<FbxDouble> EmissiveFactor;
  FbxPropertyT<FbxDouble3> Ambient;
  FbxPropertyT<FbxDouble> AmbientFactor;
  FbxPropertyT<FbxDouble3> Diffuse;
  FbxPropertyT<FbxDouble> DiffuseFactor;
  FbxPropertyT<FbxDouble3> NormalMap;
  FbxPropertyT<FbxDouble3> Bump;
  FbxPropertyT<FbxDouble> BumpFactor;
  FbxPropertyT<FbxDouble3> TransparentColor;
  FbxPropertyT<FbxDouble> TransparencyFactor;
  FbxPropertyT<FbxDouble3> DisplacementColor;
  FbxPropertyT<FbxDouble> DisplacementFactor;
  FbxPropertyT<FbxDouble3> VectorDisplacementColor;
  FbxPropertyT<FbxDouble> VectorDisplacementFactor;

protected:
  FbxSurfaceLambert(FbxManager& manager, const char* name, const FbxPropertyInfo& shadingModel);
};

class FBXSDK_DLL FbxSurfacePhong : public FbxSurfaceLambert {
  FBXSDK_OBJECT_FACTORY(FbxSurfacePhong)
  FbxPropertyT<FbxDouble3> Specular;
  FbxPropertyT<FbxDouble> SpecularFactor;
  FbxPropertyT<FbxDouble> Shininess;
  FbxPropertyT<FbxDouble3> Reflection;
  FbxPropertyT<FbxDouble> ReflectionFactor;
};

}  // namespace fbxsdk
