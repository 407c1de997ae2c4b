#include "Plugin/HProject.h"

#include "CurrentProject.h"
#include "Plugin/HImage.h"
#include "Plugin/HModelCache.h"
#include "Plugin/ObjectTypes.h"

#include <string>
#include <unordered_map>
#include <unordered_set>

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

HImage* HProject::AddImage(const String& fileName) { return AddImages({fileName}).front(); }

std::vector<HImage*> HProject::AddImages(const std::vector<String>& fileNames) {
  // Named apart from the images already there, as models are; the names in use
  // are gathered once, and each name's suffixes are counted on from the last
  // one taken, so many images of one name cost no more than many of different names.
  std::unordered_set<std::string> taken;
  for (HHashObject* child = images_->GetChild(); child; child = child->GetSibling())
    taken.insert(child->GetName().Get());
  std::unordered_map<std::string, int> nextSuffix;
  std::vector<HImage*> added;
  added.reserve(fileNames.size());
  for (const String& fileName : fileNames) {
    String base = fileName.GetNameOnly();
    if (base.IsEmpty()) base = "Image";
    std::string name = base.Get();
    if (taken.count(name)) {
      int& suffix = nextSuffix[name];
      do {
        name = std::string(base.Get()) + "." + std::to_string(++suffix);
      } while (taken.count(name));
    }
    taken.insert(name);
    added.push_back(images_->AddImage(name.c_str(), fileName));
  }
  return added;
}

HScene* HProject::AddScene(const String& name) { return scenes_->AddScene(name); }

HProject* GetHProject() { return CurrentProject(); }
