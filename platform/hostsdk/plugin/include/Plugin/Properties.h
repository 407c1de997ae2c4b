#pragma once

#include <FileIO/String.h>

#include "Plugin/Export.h"
#include "Plugin/RGBFloat.h"

class HImage;
class HDecalClip;

// Typed values the host's objects expose. Each property belongs to the object
// that hands it out.
class PLUGIN_API HColorProperty {
public:
  // The colour as floats 0 to 1, stored blue, green, red.
  RGBFloat GetFactoredRGBFloat() const { return value_; }
  void SetRGBFloat(const RGBFloat& value) { value_ = value; }

private:
  RGBFloat value_;
};

class PLUGIN_API HFloatProperty {
public:
  explicit HFloatProperty(float value = 0.0f) : value_(value) {}
  float GetValue() const { return value_; }
  void SetValue(float value) { value_ = value; }

private:
  float value_;
};

class PLUGIN_API HStringProperty {
public:
  String GetValue() const { return value_; }
  void SetValue(const String& value) { value_ = value; }

private:
  String value_;
};

// A small whole number, such as a decal clip's kind.
class PLUGIN_API HTypeProperty {
public:
  int GetValue() const { return value_; }
  void SetValue(int value) { value_ = value; }

private:
  int value_ = 0;
};

// A reference to an image clip of the project. Cleared when the image is
// deleted, so it never dangles.
class PLUGIN_API HClipProperty {
public:
  explicit HClipProperty(HDecalClip* owner) : owner_(owner) {}
  ~HClipProperty();
  HClipProperty(const HClipProperty&) = delete;
  HClipProperty& operator=(const HClipProperty&) = delete;

  HImage* GetClip() const { return image_; }
  void SetClip(HImage* image);

private:
  friend class HImage;
  HDecalClip* owner_;
  HImage* image_ = nullptr;
};
