#include "fbxsdk/fbxsurface.h"

#include "FbxObjectFactory.h"

namespace fbxsdk {

namespace {
using Number = FbxPropertyT<FbxDouble>;
using Color = FbxPropertyT<FbxDouble3>;
using Text = FbxPropertyT<FbxString>;

// Defaults follow what modelling tools assume for a fresh material.
constexpr FbxPropertyInfo kLambertShadingModel = Text::Info("ShadingModel", "Lambert");
constexpr FbxPropertyInfo kPhongShadingModel = Text::Info("ShadingModel", "Phong");
constexpr FbxPropertyInfo kEmissive = Color::Info("EmissiveColor", 0, 0, 0);
constexpr FbxPropertyInfo kEmissiveFactor = Number::Info("EmissiveFactor", 1.0);
constexpr FbxPropertyInfo kAmbient = Color::Info("AmbientColor", 0.2, 0.2, 0.2);
constexpr FbxPropertyInfo kAmbientFactor = Number::Info("AmbientFactor", 1.0);
constexpr FbxPropertyInfo kDiffuse = Color::Info("DiffuseColor", 0.8, 0.8, 0.8);
constexpr FbxPropertyInfo kDiffuseFactor = Number::Info("DiffuseFactor", 1.0);
constexpr FbxPropertyInfo kSpecular = Color::Info("SpecularColor", 0.2, 0.2, 0.2);
constexpr FbxPropertyInfo kSpecularFactor = Number::Info("SpecularFactor", 1.0);
constexpr FbxPropertyInfo kShininess = Number::Info("ShininessExponent", 20.0);
constexpr FbxPropertyInfo kBump = Color::Info("Bump", 0, 0, 0);
constexpr FbxPropertyInfo kNormalMap = Color::Info("NormalMap", 0, 0, 0);
constexpr FbxPropertyInfo kBumpFactor = Number::Info("BumpFactor", 1.0);
constexpr FbxPropertyInfo kTransparentColor = Color::Info("TransparentColor", 0, 0, 0);
constexpr FbxPropertyInfo kTransparencyFactor = Number::Info("TransparencyFactor", 0.0);
constexpr FbxPropertyInfo kReflection = Color::Info("ReflectionColor", 0, 0, 0);
constexpr FbxPropertyInfo kReflectionFactor = Number::Info("ReflectionFactor", 1.0);
constexpr FbxPropertyInfo kDisplacementColor = Color::Info("DisplacementColor", 0, 0, 0);
constexpr FbxPropertyInfo kDisplacementFactor = Number::Info("DisplacementFactor", 1.0);
constexpr FbxPropertyInfo kVectorDisplacementColor = Color::Info("VectorDisplacementColor", 0, 0, 0);
constexpr FbxPropertyInfo kVectorDisplacementFactor = Number::Info("VectorDisplacementFactor", 1.0);
}  // namespace

const char* FbxSurfaceMaterial::sShadingModel = kLambertShadingModel.name;
const char* FbxSurfaceMaterial::sEmissive = kEmissive.name;
const char* FbxSurfaceMaterial::sEmissiveFactor = kEmissiveFactor.name;
const char* FbxSurfaceMaterial::sAmbient = kAmbient.name;
const char* FbxSurfaceMaterial::sAmbientFactor = kAmbientFactor.name;
const char* FbxSurfaceMaterial::sDiffuse = kDiffuse.name;
const char* FbxSurfaceMaterial::sDiffuseFactor = kDiffuseFactor.name;
const char* FbxSurfaceMaterial::sSpecular = kSpecular.name;
const char* FbxSurfaceMaterial::sSpecularFactor = kSpecularFactor.name;
const char* FbxSurfaceMaterial::sShininess = kShininess.name;
const char* FbxSurfaceMaterial::sBump = kBump.name;
const char* FbxSurfaceMaterial::sNormalMap = kNormalMap.name;
const char* FbxSurfaceMaterial::sBumpFactor = kBumpFactor.name;
const char* FbxSurfaceMaterial::sTransparentColor = kTransparentColor.name;
const char* FbxSurfaceMaterial::sTransparencyFactor = kTransparencyFactor.name;
const char* FbxSurfaceMaterial::sReflection = kReflection.name;
const char* FbxSurfaceMaterial::sReflectionFactor = kReflectionFactor.name;
const char* FbxSurfaceMaterial::sDisplacementColor = kDisplacementColor.name;
const char* FbxSurfaceMaterial::sDisplacementFactor = kDisplacementFactor.name;
const char* FbxSurfaceMaterial::sVectorDisplacementColor = kVectorDisplacementColor.name;
const char* FbxSurfaceMaterial::sVectorDisplacementFactor = kVectorDisplacementFactor.name;

FbxSurfaceMaterial::FbxSurfaceMaterial(FbxManager& manager, const char* name, const FbxPropertyInfo& shadingModel)
    : FbxObject(manager, name), ShadingModel(this, shadingModel) {}

FbxSurfaceLambert::FbxSurfaceLambert(FbxManager& manager, const char* name, const FbxPropertyInfo& shadingModel)
    : FbxSurfaceMaterial(manager, name, shadingModel),
      Emissive(this, kEmissive),
      EmissiveFactor(this, kEmissiveFactor),
      Ambient(this, kAmbient),
      AmbientFactor(this, kAmbientFactor),
      Diffuse(this, kDiffuse),
      DiffuseFactor(this, kDiffuseFactor),
      NormalMap(this, kNormalMap),
      Bump(this, kBump),
      BumpFactor(this, kBumpFactor),
      TransparentColor(this, kTransparentColor),
      TransparencyFactor(this, kTransparencyFactor),
      DisplacementColor(this, kDisplacementColor),
      DisplacementFactor(this, kDisplacementFactor),
      VectorDisplacementColor(this, kVectorDisplacementColor),
      VectorDisplacementFactor(this, kVectorDisplacementFactor) {}

FbxSurfaceLambert::FbxSurfaceLambert(FbxManager& manager, const char* name)
    : FbxSurfaceLambert(manager, name, kLambertShadingModel) {}
FBXSDK_DEFINE_FACTORY(FbxSurfaceLambert)

FbxSurfacePhong::FbxSurfacePhong(FbxManager& manager, const char* name)
    : FbxSurfaceLambert(manager, name, kPhongShadingModel),
      Specular(this, kSpecular),
      SpecularFactor(this, kSpecularFactor),
      Shininess(this, kShininess),
      Reflection(this, kReflection),
      ReflectionFactor(this, kReflectionFactor) {}
FBXSDK_DEFINE_FACTORY(FbxSurfacePhong)

}  // namespace fbxsdk
