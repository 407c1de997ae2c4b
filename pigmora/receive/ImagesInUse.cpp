#include "receive/ImagesInUse.h"

#include <Plugin/HDecal.h>
#include <Plugin/HImage.h>
#include <Plugin/HModelCache.h>
#include <Plugin/HProject.h>

namespace pigmora {

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

}  // namespace pigmora
