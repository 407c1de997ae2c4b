#include "Plugin/Properties.h"

#include <algorithm>

#include "Plugin/HImage.h"
#include "Plugin/ObjectTypes.h"

HClipProperty::~HClipProperty() { SetClip(nullptr); }

void HClipProperty::SetClip(HImage* image) {
  if (image_ == image) return;
  if (image_) std::erase(image_->users_, this);
  image_ = image;
  if (image_) image_->users_.push_back(this);
}

HImage::HImage(const String& name, const String& fileName) : HHashObject(HOT_IMAGE, name) {
  fileName_.SetValue(fileName);
}

HImage::~HImage() {
  for (HClipProperty* user : users_) user->image_ = nullptr;
}
