#include "receive/ImportSteps.h"

namespace pigmora {

void DropUnusedImages(IEPolyModel& model) {
  const std::int32_t count = model.images.count;
  std::vector<int> newIndex(static_cast<std::size_t>(count), -1);
  for (const IEPoly* polygon : model.polygons) {
    if (!polygon) continue;
    for (const IEPolyMap* map : polygon->maps) {
      if (map && map->image >= 0 && map->image < count) newIndex[static_cast<std::size_t>(map->image)] = 0;
    }
  }
  std::int32_t kept = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    if (newIndex[static_cast<std::size_t>(i)] < 0) continue;
    model.images[kept] = model.images[i];
    model.imageTags[kept] = model.imageTags[i];
    newIndex[static_cast<std::size_t>(i)] = kept++;
  }
  if (kept == count) return;
  model.images.SetCount(kept);
  model.imageTags.SetCount(kept);
  for (IEPoly* polygon : model.polygons) {
    if (!polygon) continue;
    for (IEPolyMap* map : polygon->maps) {
      if (map && map->image >= 0 && map->image < count) map->image = newIndex[static_cast<std::size_t>(map->image)];
    }
  }
}

}  // namespace pigmora
