#include "receive/ImportSteps.h"

namespace pigmora {

void AddImages(IEPolyModel& model, const TextureList& list, ImportTables& tables) {
  tables.imageOfTexture.assign(list.texturePaths.size(), -1);
  for (std::size_t i = 0; i < list.texturePaths.size(); ++i) {
    const String& path = list.texturePaths[i];
    if (!model.AddImage(path.Get())) {
      tables.notes.push_back(String("The texture '") + path + "' could not be added and was left out.");
      continue;
    }
    tables.imageOfTexture[i] = model.images.count - 1;
  }
}

}  // namespace pigmora
