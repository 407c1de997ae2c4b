#include <cstring>
#include <string>
#include <unordered_set>

#include <Plugin/HDecal.h>
#include <Plugin/HImage.h>
#include <Plugin/HModelCache.h>
#include <Plugin/HProject.h>

#include "receive/ImportSteps.h"
#include "settings/FilePathKey.h"

namespace pigmora {

namespace {

// The images the decals of every model but `replaced` show.
std::unordered_set<const HImage*> ImagesInUse(HProject& project, const HModelCache* replaced) {
  std::unordered_set<const HImage*> used;
  HObjectCacheContainer* objects = project.GetChildObjectCacheContainer();
  for (HHashObject* child = objects ? objects->GetChild() : nullptr; child; child = child->GetSibling()) {
    HModelCache* model = child->GetAsModelCache();
    HDecalContainer* decals = model && model != replaced ? model->GetChildDecalContainer() : nullptr;
    for (HHashObject* decal = decals ? decals->GetChildDecal() : nullptr; decal; decal = decal->GetSibling()) {
      HDecalClipContainer* clips = static_cast<HDecal*>(decal)->GetChildDecalClipContainer();
      for (HHashObject* clip = clips ? clips->GetChildDecalClip() : nullptr; clip; clip = clip->GetSibling()) {
        if (const HImage* image = static_cast<HDecalClip*>(clip)->GetClip()->GetClip()) used.insert(image);
      }
    }
  }
  return used;
}

}  // namespace

void RemoveReplacedImages(const IEPolyModel& model, HProject* project, const HModelCache* replaced) {
  HClipCacheContainer* container = project ? project->GetChildClipCacheContainer() : nullptr;
  if (!container || model.images.count == 0) return;
  // One image per file the new model brings may go, as the file system tells files apart.
  std::unordered_set<std::string> files;
  for (const IEImage& image : model.images)
    files.insert(FilePathKey(std::string(image.path, strnlen(image.path, sizeof(image.path))).c_str()));
  const std::unordered_set<const HImage*> used = ImagesInUse(*project, replaced);
  HHashObject* child = container->GetChild();
  while (child && !files.empty()) {
    HHashObject* next = child->GetSibling();
    auto* image = static_cast<HImage*>(child);
    if (!used.count(image) && files.erase(FilePathKey(image->GetFilename()->GetValue())))
      HTreeObject::DeleteHandle(image);
    child = next;
  }
}

}  // namespace pigmora
