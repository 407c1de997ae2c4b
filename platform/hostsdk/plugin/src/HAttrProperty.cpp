#include "Plugin/HAttrProperty.h"

HAttrProperty::HAttrProperty() {
  diffuseColor_.SetRGBFloat(RGBFloat::FromRGB(0.8f, 0.8f, 0.8f));
  specularColor_.SetRGBFloat(RGBFloat::FromRGB(1.0f, 1.0f, 1.0f));
}

HAttrProperty::~HAttrProperty() = default;

HAttrProperty::HAttrProperty(const HAttrProperty& other) { *this = other; }

HAttrProperty& HAttrProperty::operator=(const HAttrProperty& other) {
  if (this == &other) return *this;
  diffuseColor_ = other.diffuseColor_;
  diffuseFallOff_ = other.diffuseFallOff_;
  ambianceColor_ = other.ambianceColor_;
  ambiance_ = other.ambiance_;
  specularColor_ = other.specularColor_;
  specularIntensity_ = other.specularIntensity_;
  specularSize_ = other.specularSize_;
  transparency_ = other.transparency_;
  materialHead_ = other.materialHead_ ? std::make_unique<HMaterial>(*other.materialHead_) : nullptr;
  return *this;
}

HMaterial* HAttrProperty::AddMaterialHead() {
  if (!materialHead_) materialHead_ = std::make_unique<HMaterial>();
  return materialHead_.get();
}

void HAttrProperty::RemoveMaterialHead() { materialHead_.reset(); }
