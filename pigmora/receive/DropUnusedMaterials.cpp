#include "receive/ImportSteps.h"

namespace pigmora {

void DropUnusedMaterials(IEPolyModel& model, ImportTables& tables) {
  const std::int32_t count = model.materials.count;
  std::vector<char> used(static_cast<std::size_t>(count), 0);
  for (const IEPoly* polygon : model.polygons) {
    if (polygon && polygon->material >= 0 && polygon->material < count)
      used[static_cast<std::size_t>(polygon->material)] = 1;
  }
  std::vector<int> newIndex(static_cast<std::size_t>(count), -1);
  std::int32_t kept = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    if (!used[static_cast<std::size_t>(i)]) continue;
    const auto from = static_cast<std::size_t>(i);
    const auto to = static_cast<std::size_t>(kept);
    model.materials[kept] = model.materials[i];
    model.materialTags[kept] = model.materialTags[i];
    tables.listMaterialOfModel[to] = tables.listMaterialOfModel[from];
    tables.modelMaterialNames[to] = tables.modelMaterialNames[from];
    newIndex[from] = kept++;
  }
  if (kept == count) return;
  model.materials.SetCount(kept);
  model.materialTags.SetCount(kept);
  tables.listMaterialOfModel.resize(static_cast<std::size_t>(kept));
  tables.modelMaterialNames.resize(static_cast<std::size_t>(kept));
  for (IEPoly* polygon : model.polygons) {
    if (polygon && polygon->material >= 0 && polygon->material < count)
      polygon->material = newIndex[static_cast<std::size_t>(polygon->material)];
  }
  for (int& material : tables.modelMaterialOfNode) {
    if (material >= 0) material = newIndex[static_cast<std::size_t>(material)];
  }
}

}  // namespace pigmora
