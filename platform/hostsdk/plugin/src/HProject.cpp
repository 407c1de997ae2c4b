#include "Plugin/HProject.h"

#include "CurrentProject.h"
#include "Plugin/HImage.h"
#include "Plugin/HModelCache.h"
#include "Plugin/ObjectTypes.h"
#include "UniqueName.h"

HObjectCacheContainer::HObjectCacheContainer() : HHashObject(HOT_OBJECTS_FOLDER, "Objects") {}

HModelCache* HObjectCacheContainer::FindModel(const String& name) const {
  for (HHashObject* child = GetChild(); child; child = child->GetSibling()) {
    if (child->GetName() == name) return child->GetAsModelCache();
  }
  return nullptr;
}

void HObjectCacheContainer::AddModel(HModelCache* model) { AppendChild(model); }

HClipCacheContainer::HClipCacheContainer() : HHashObject(HOT_IMAGES_FOLDER, "Images") {}

HImage* HClipCacheContainer::FindImage(const String& name) const {
  for (HHashObject* child = GetChild(); child; child = child->GetSibling()) {
    if (child->GetName() == name) return static_cast<HImage*>(child);
  }
  return nullptr;
}

HImage* HClipCacheContainer::AddImage(const String& name, const String& fileName) {
  auto* image = new HImage(name, fileName);
  AppendChild(image);
  return image;
}

HSceneContainer::HSceneContainer() : HHashObject(HOT_SCENES_FOLDER, "Scenes") {}

HScene* HSceneContainer::AddScene(const String& name) {
  auto* scene = new HScene(name);
  AppendChild(scene);
  return scene;
}

HAnimObject::HAnimObject(HModelCache* model) : HHashObject(HOT_MODEL_INSTANCE, model->GetName()), model_(model) {
  model_->shortcuts_.push_back(this);
}

HAnimObject::~HAnimObject() {
  if (model_) std::erase(model_->shortcuts_, this);
}

HScene::HScene(const String& name) : HHashObject(HOT_SCENE, name) {}

HAnimObject* HScene::AddInstance(HModelCache* model) {
  if (!model) return nullptr;
  auto* instance = new HAnimObject(model);
  AppendChild(instance);
  return instance;
}

HProject::HProject(const String& name) : HHashObject(HOT_PROJECT, name) {
  objects_ = new HObjectCacheContainer;
  images_ = new HClipCacheContainer;
  scenes_ = new HSceneContainer;
  AppendChild(objects_);
  AppendChild(images_);
  AppendChild(scenes_);
}

HImage* HProject::AddImage(const String& fileName) {
  String name = fileName.GetNameOnly();
  if (name.IsEmpty()) name = "Image";
  // Named apart from the images already there, as models are.
  HClipCacheContainer* images = images_;
  name = UniqueName(name, [images](const String& candidate) { return images->FindImage(candidate) != nullptr; });
  return images_->AddImage(name, fileName);
}

HScene* HProject::AddScene(const String& name) { return scenes_->AddScene(name); }

HProject* GetHProject() { return CurrentProject(); }
