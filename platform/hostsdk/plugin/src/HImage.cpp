#include "Plugin/Properties.h"

#include <algorithm>
#include <string>

#include "Plugin/HImage.h"
#include "Plugin/ObjectTypes.h"
#include "common/ImageFile.h"

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

bool HImage::IsImageFile(const String& fileName, String& reason) {
  imagefile::OpenImage image;
  std::string why;
  if (image.Open(fileName.Get(), why)) return true;
  reason = why.c_str();
  return false;
}
