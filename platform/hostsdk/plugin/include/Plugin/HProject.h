#pragma once

#include <vector>

#include "Plugin/Export.h"
#include "Plugin/HTreeObject.h"

class HImage;
class HModelCache;
class HScene;

// The project's folders. They belong to the project and cannot be deleted.
class PLUGIN_API HObjectCacheContainer : public HHashObject {
public:
  HObjectCacheContainer();
  HModelCache* FindModel(const String& name) const;

protected:
  bool IsDeletable() const override { return false; }

private:
  friend class HModelCache;
  void AddModel(HModelCache* model);
};

class PLUGIN_API HClipCacheContainer : public HHashObject {
public:
  HClipCacheContainer();
  // The image clip of this name; null when there is none.
  HImage* FindImage(const String& name) const;

protected:
  bool IsDeletable() const override { return false; }

private:
  friend class HProject;
  HImage* AddImage(const String& name, const String& fileName);
};

class PLUGIN_API HSceneContainer : public HHashObject {
public:
  HSceneContainer();

protected:
  bool IsDeletable() const override { return false; }

private:
  friend class HProject;
  HScene* AddScene(const String& name);
};

// An instance of a model in a scene: the shortcut from the scene to the model.
class PLUGIN_API HAnimObject : public HHashObject {
public:
  explicit HAnimObject(HModelCache* model);
  ~HAnimObject() override;

  HAnimObject* GetAnimObject() override { return this; }
  HModelCache* GetCache() const { return model_; }

private:
  friend class HModelCache;
  HModelCache* model_;
};

class PLUGIN_API HScene : public HHashObject {
public:
  explicit HScene(const String& name);
  // Places an instance of model in the scene; null for a null model.
  HAnimObject* AddInstance(HModelCache* model);
};

// The host's project: models, image clips and scenes.
class PLUGIN_API HProject : public HHashObject {
public:
  explicit HProject(const String& name);

  HObjectCacheContainer* GetChildObjectCacheContainer() const { return objects_; }
  HClipCacheContainer* GetChildClipCacheContainer() const { return images_; }
  HSceneContainer* GetChildSceneContainer() const { return scenes_; }

  // A new image clip named after the file's name without folder and extension,
  // with a ".N" suffix when an image of that name is there already.
  HImage* AddImage(const String& fileName);
  // One new image clip per file, in order, each named as AddImage names it.
  std::vector<HImage*> AddImages(const std::vector<String>& fileNames);
  HScene* AddScene(const String& name);

protected:
  bool IsDeletable() const override { return false; }

private:
  HObjectCacheContainer* objects_;
  HClipCacheContainer* images_;
  HSceneContainer* scenes_;
};

// The project the host has open; null when none.
PLUGIN_API HProject* GetHProject();
