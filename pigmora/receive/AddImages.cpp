#include "receive/ImportSteps.h"

namespace pigmora {

void AddImages(IEPolyModel& model, const TextureList& list, ImportTables& tables) {
  tables.imageOfTexture.assign(list.texturePaths.size(), -1);
  // Room for all at once: appending would copy the list every 20 images.
  const auto wanted = static_cast<std::int32_t>(list.texturePaths.size());
  model.images.Reserve(model.images.count + wanted);
  model.imageTags.Reserve(model.imageTags.count + wanted);
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
