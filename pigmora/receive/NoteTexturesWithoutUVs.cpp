#include <string>

#include "receive/ImportSteps.h"

namespace pigmora {

namespace {

constexpr std::size_t kNamesShown = 5;

bool HasTexture(const MaterialTextures& textures, const ImportTables& tables) {
  for (int texture : textures.channels) {
    if (texture >= 0 && tables.imageOfTexture[static_cast<std::size_t>(texture)] >= 0) return true;
  }
  return false;
}

}  // namespace

void NoteTexturesWithoutUVs(const IEPolyModel& model, const TextureList& list, ImportTables& tables) {
  const std::size_t materials = tables.listMaterialOfModel.size();
  std::vector<char> hasPolygons(materials, 0);
  std::vector<char> hasMaps(materials, 0);
  for (const IEPoly* polygon : model.polygons) {
    if (!polygon || polygon->material < 0 || static_cast<std::size_t>(polygon->material) >= materials) continue;
    const auto material = static_cast<std::size_t>(polygon->material);
    hasPolygons[material] = 1;
    if (polygon->maps.count > 0) hasMaps[material] = 1;
  }
  std::vector<const String*> unshown;
  for (std::size_t m = 0; m < materials; ++m) {
    const int listMaterial = tables.listMaterialOfModel[m];
    if (listMaterial < 0 || !hasPolygons[m] || hasMaps[m]) continue;
    if (HasTexture(list.materials[static_cast<std::size_t>(listMaterial)], tables))
      unshown.push_back(&tables.modelMaterialNames[m]);
  }
  if (unshown.empty()) return;
  std::string names;
  for (std::size_t i = 0; i < unshown.size() && i < kNamesShown; ++i)
    names += std::string(i ? ", '" : "'") + unshown[i]->Get() + "'";
  if (unshown.size() > kNamesShown) names += ", ...";
  const std::string text =
      unshown.size() == 1
          ? "Pigmora's textures for the material " + names + " cannot be shown: its polygons have no UVs."
          : "Pigmora's textures for " + std::to_string(unshown.size()) + " materials (" + names +
                ") cannot be shown: their polygons have no UVs.";
  tables.notes.push_back(String(text.c_str()));
}

}  // namespace pigmora
