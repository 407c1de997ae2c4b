#include <Plugin/HModelCache.h>

#include "receive/ImportSteps.h"
#include "settings/CurrentTreeObject.h"

namespace pigmora {

void ReplaceOlderModel(HModelCache* model, const String& name, CurrentObject& current) {
  HModelCache* older = FindOtherModel(model, name);
  if (!older) return;
  older->ChangeShortCuts(model);
  current.FollowReplacement(older, model);
  HTreeObject::DeleteHandle(older);
  model->SetName(name);
}

}  // namespace pigmora
