#pragma once

#include <memory>

#include "Plugin/Export.h"
#include "Plugin/Properties.h"

// A material head: the displacement and bump strengths of a surface.
class PLUGIN_API HMaterial {
public:
  float GetDisplacePercent() const { return displacePercent_; }
  float GetBumpPercent() const { return bumpPercent_; }
  void SetDisplacePercent(float value) { displacePercent_ = value; }
  void SetBumpPercent(float value) { bumpPercent_ = value; }

private:
  float displacePercent_ = 1.0f;
  float bumpPercent_ = 1.0f;
};

// Surface attributes of a model or a group.
class PLUGIN_API HAttrProperty {
public:
  HAttrProperty();
  ~HAttrProperty();
  HAttrProperty(const HAttrProperty& other);
  HAttrProperty& operator=(const HAttrProperty& other);

  HColorProperty* GetDiffuseColor() { return &diffuseColor_; }
  HFloatProperty* GetDiffuseFallOff() { return &diffuseFallOff_; }
  HColorProperty* GetAmbianceColor() { return &ambianceColor_; }
  HFloatProperty* GetAmbiance() { return &ambiance_; }
  HColorProperty* GetSpecularColor() { return &specularColor_; }
  HFloatProperty* GetSpecularIntensity() { return &specularIntensity_; }
  HFloatProperty* GetSpecularSize() { return &specularSize_; }
  HFloatProperty* GetTransparency() { return &transparency_; }

  // Null when the surface has no material head.
  HMaterial* GetMaterialHead() { return materialHead_.get(); }
  HMaterial* AddMaterialHead();
  void RemoveMaterialHead();

private:
  HColorProperty diffuseColor_;
  HFloatProperty diffuseFallOff_{1.0f};
  HColorProperty ambianceColor_;
  HFloatProperty ambiance_{0.0f};
  HColorProperty specularColor_;
  HFloatProperty specularIntensity_{0.0f};
  HFloatProperty specularSize_{0.0f};
  HFloatProperty transparency_{0.0f};
  std::unique_ptr<HMaterial> materialHead_;
};
