#include <Plugin/HModelCache.h>

#include "receive/ImportSteps.h"

namespace pigmora {

void ReplaceOlderModel(HModelCache* model, const String& name) {
  HModelCache* older = FindOtherModel(model, name);
  if (!older) return;
  older->ChangeShortCuts(model);
  HTreeObject::DeleteHandle(older);
  model->SetName(name);
}

}  // namespace pigmora
