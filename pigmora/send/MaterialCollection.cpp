#include "send/MaterialCollection.h"

#include <Plugin/HGroup.h>
#include <Plugin/HModelCache.h>
#include <Plugin/HPatch.h>

#include <cstddef>
#include <vector>

#include "send/ExportJob.h"

namespace pigmora {

namespace {

// The material of every patch of the model: the first group (1, 2, ...) that
// holds it, else 0. The same answer as asking each group's IsPatchInGroup in
// turn, but linear in patches and group sizes instead of patches times groups.
std::vector<int> MaterialOfEveryPatch(const ExportJob& job, HModelCache* model) {
  std::vector<int> materialOfPatch(static_cast<std::size_t>(model->GetPatchCount()), 0);
  for (std::size_t entry = 1; entry < job.materials.size(); ++entry) {
    for (std::int32_t patch : job.materials[entry].group->GetPatchIndices()) {
      if (patch < 0 || patch >= model->GetPatchCount()) continue;
      int& material = materialOfPatch[static_cast<std::size_t>(patch)];
      if (material == 0) material = static_cast<int>(entry);
    }
  }
  return materialOfPatch;
}

int MaterialOfPolygon(const IEPoly& polygon, HModelCache* model, const std::vector<int>& materialOfPatch) {
  const HPatch* patch = polygon.patch;
  if (!patch) return 0;
  const int index = patch->GetIndex();
  // Only a patch of this very model counts, as the group test has it.
  if (index < 0 || index >= model->GetPatchCount() || model->GetPatch(index) != patch) return 0;
  return materialOfPatch[static_cast<std::size_t>(index)];
}

}  // namespace

void CollectMaterials(ExportJob& job, HModelCache* model) {
  ExportMaterial own;
  own.name = "default";
  ReadMaterialAttributes(own, model->GetAttr());
  job.materials.push_back(std::move(own));
  if (HGroupContainer* groups = model->GetChildGroupContainer()) {
    for (HHashObject* child = groups->GetChild(); child; child = child->GetSibling())
      job.materials.push_back(MakeGroupMaterial(static_cast<HGroup*>(child)));
  }

  const std::vector<int> materialOfPatch = MaterialOfEveryPatch(job, model);
  IEPolyModel& exported = *job.exportModel;
  for (IEPoly* polygon : exported.polygons) {
    if (!polygon) continue;
    polygon->material = MaterialOfPolygon(*polygon, model, materialOfPatch);
    ExportMaterial& material = job.materials[static_cast<std::size_t>(polygon->material)];
    // The last map record of a kind among the material's polygons names the slot's image.
    for (const IEPolyMap* map : polygon->maps) {
      if (!map) continue;
      const int slot = TextureSlotOfKind(map->Kind());
      // A record naming no image of the model leaves the slot as it was.
      if (slot < 0 || map->image < 0 || map->image >= exported.images.count) continue;
      material.textureSlots[slot] = map->image;
    }
  }
}

}  // namespace pigmora
