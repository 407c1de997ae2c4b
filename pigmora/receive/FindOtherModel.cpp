#include <Plugin/HModelCache.h>
#include <Plugin/HProject.h>

#include "receive/ImportSteps.h"

namespace pigmora {

HModelCache* FindOtherModel(HModelCache* model, const String& name) {
  HProject* project = GetHProject();
  HObjectCacheContainer* objects = project ? project->GetChildObjectCacheContainer() : nullptr;
  if (!objects) return nullptr;
  for (HHashObject* child = objects->GetChild(); child; child = child->GetSibling()) {
    if (child == model) continue;
    if (child->GetName() == name) return child->GetAsModelCache();
  }
  return nullptr;
}

}  // namespace pigmora
