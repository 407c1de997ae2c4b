#include "receive/ImportSteps.h"

namespace pigmora {

bool ExpandChannelMaps(IEPolyModel& model, const TextureList& list, const ImportTables& tables) {
  const int modelMaterials = static_cast<int>(tables.listMaterialOfModel.size());
  for (std::int32_t j = 0; j < model.polygons.count; ++j) {
    IEPoly* polygon = model.polygons[j];
    const PolygonUVs& uvs = tables.polygonUVs[static_cast<std::size_t>(j)];
    if (!polygon || !uvs.present || polygon->material < 0 || polygon->material >= modelMaterials) continue;
    const int listMaterial = tables.listMaterialOfModel[static_cast<std::size_t>(polygon->material)];
    if (listMaterial < 0) continue;  // a material Pigmora painted nothing for
    const MaterialTextures& textures = list.materials[static_cast<std::size_t>(listMaterial)];
    int images[TC_COUNT];
    int count = 0;
    for (int channel = 0; channel < TC_COUNT; ++channel) {
      const int texture = textures.channels[channel];
      images[channel] = texture >= 0 ? tables.imageOfTexture[static_cast<std::size_t>(texture)] : -1;
      if (images[channel] >= 0) ++count;
    }
    if (count == 0) continue;
    const std::int32_t first = polygon->maps.count;
    if (!polygon->maps.SetCount(first + count)) return false;
    std::int32_t slot = first;
    for (int channel = 0; channel < TC_COUNT; ++channel) {
      if (images[channel] < 0) continue;
      auto* map = new IEPolyMap;
      map->SetKind(kTextureChannelKinds[channel]);
      map->image = images[channel];
      for (int k = 0; k < 4; ++k) {
        map->uv[k][0] = uvs.uv[k][0];
        map->uv[k][1] = uvs.uv[k][1];
      }
      polygon->maps[slot++] = map;
    }
  }
  return true;
}

}  // namespace pigmora
