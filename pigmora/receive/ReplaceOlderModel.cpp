#include <Plugin/HModelCache.h>

#include "receive/ImportSteps.h"
#include "shell/CurrentTreeObject.h"

void ReplaceOlderModel(HModelCache* model, const String& name) {
  HModelCache* older = FindOtherModel(model, name);
  if (!older) return;
  older->ChangeShortCuts(model);
  FollowTreeObjectReplacement(older, model);
  HTreeObject::DeleteHandle(older);
  model->SetName(name);
}
