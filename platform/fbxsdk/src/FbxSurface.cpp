#include "fbxsdk/fbxsurface.h"

#include "FbxObjectFactory.h"

namespace fbxsdk {

const char* FbxSurfaceMaterial::sShadingModel = "ShadingModel";
const char* FbxSurfaceMaterial::sEmissive = "EmissiveColor";
const char* FbxSurfaceMaterial::sEmissiveFactor = "EmissiveFactor";
const char* FbxSurfaceMaterial::sAmbient = "AmbientColor";
const char* FbxSurfaceMaterial::sAmbientFactor = "AmbientFactor";
const char* FbxSurfaceMaterial::sDiffuse = "DiffuseColor";
const char* FbxSurfaceMaterial::sDiffuseFactor = "DiffuseFactor";
const char* FbxSurfaceMaterial::sSpecular = "SpecularColor";
const char* FbxSurfaceMaterial::sSpecularFactor = "SpecularFactor";
const char* FbxSurfaceMaterial::sShininess = "ShininessExponent";
const char* FbxSurfaceMaterial::sBump = "Bump";
const char* FbxSurfaceMaterial::sNormalMap = "NormalMap";
const char* FbxSurfaceMaterial::sBumpFactor = "BumpFactor";
const char* FbxSurfaceMaterial::sTransparentColor = "TransparentColor";
const char* FbxSurfaceMaterial::sTransparencyFactor = "TransparencyFactor";
const char* FbxSurfaceMaterial::sReflection = "ReflectionColor";
const char* FbxSurfaceMaterial::sReflectionFactor = "ReflectionFactor";
const char* FbxSurfaceMaterial::sDisplacementColor = "DisplacementColor";
const char* FbxSurfaceMaterial::sDisplacementFactor = "DisplacementFactor";
const char* FbxSurfaceMaterial::sVectorDisplacementColor = "VectorDisplacementColor";
const char* FbxSurfaceMaterial::sVectorDisplacementFactor = "VectorDisplacementFactor";

FbxSurfaceMaterial::FbxSurfaceMaterial(FbxManager& manager, const char* name, const char* shadingModel)
    : FbxObject(manager, name), ShadingModel(this, sShadingModel, FbxString(shadingModel)) {}

// Defaults follow what modelling tools assume for a fresh material.
FbxSurfaceLambert::FbxSurfaceLambert(FbxManager& manager, const char* name, const char* shadingModel)
    : FbxSurfaceMaterial(manager, name, shadingModel),
      Emissive(this, sEmissive, FbxDouble3(0, 0, 0)),
      EmissiveFactor(this, sEmissiveFactor, 1.0),
      Ambient(this, sAmbient, FbxDouble3(0.2, 0.2, 0.2)),
      AmbientFactor(this, sAmbientFactor, 1.0),
      Diffuse(this, sDiffuse, FbxDouble3(0.8, 0.8, 0.8)),
      DiffuseFactor(this, sDiffuseFactor, 1.0),
      NormalMap(this, sNormalMap, FbxDouble3(0, 0, 0)),
      Bump(this, sBump, FbxDouble3(0, 0, 0)),
      BumpFactor(this, sBumpFactor, 1.0),
      TransparentColor(this, sTransparentColor, FbxDouble3(0, 0, 0)),
      TransparencyFactor(this, sTransparencyFactor, 0.0),
      DisplacementColor(this, sDisplacementColor, FbxDouble3(0, 0, 0)),
      DisplacementFactor(this, sDisplacementFactor, 1.0),
      VectorDisplacementColor(this, sVectorDisplacementColor, FbxDouble3(0, 0, 0)),
      VectorDisplacementFactor(this, sVectorDisplacementFactor, 1.0) {}

FbxSurfaceLambert::FbxSurfaceLambert(FbxManager& manager, const char* name)
    : FbxSurfaceLambert(manager, name, "Lambert") {}
FBXSDK_DEFINE_FACTORY(FbxSurfaceLambert)

FbxSurfacePhong::FbxSurfacePhong(FbxManager& manager, const char* name)
    : FbxSurfaceLambert(manager, name, "Phong"),
      Specular(this, sSpecular, FbxDouble3(0.2, 0.2, 0.2)),
      SpecularFactor(this, sSpecularFactor, 1.0),
      Shininess(this, sShininess, 20.0),
      Reflection(this, sReflection, FbxDouble3(0, 0, 0)),
      ReflectionFactor(this, sReflectionFactor, 1.0) {}
FBXSDK_DEFINE_FACTORY(FbxSurfacePhong)

}  // namespace fbxsdk
