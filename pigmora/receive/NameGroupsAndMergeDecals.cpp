#include <Plugin/HDecal.h>
#include <Plugin/HGroup.h>
#include <Plugin/HModelCache.h>

#include "receive/ImportSteps.h"

namespace pigmora {

namespace {

void NameGroups(HGroupContainer* groups, const std::vector<String>& names) {
  if (!groups) return;
  std::size_t index = 0;
  for (HHashObject* group = groups->GetChildGroup(); group; ++index) {
    HHashObject* next = group->GetSibling();
    if (index >= names.size()) {
      HTreeObject::DeleteHandle(group);  // the first group beyond the materials
      return;
    }
    group->SetName(names[index]);
    group = next;
  }
}

// Every clip of a decal shares the decal's placements, so a clip moved into
// the first decal brings the placements of its own decal along.
void MergeDecals(HDecalContainer* decals, int patchCount) {
  if (!decals) return;
  HDecal* first = decals->GetChildDecal();
  if (!first) return;
  std::vector<char> placed(static_cast<std::size_t>(patchCount), 0);
  for (const HPatchUV& placement : first->GetPatchUVs()) placed[static_cast<std::size_t>(placement.patch)] = 1;
  HHashObject* decal = first->GetSibling();
  while (decal) {
    HHashObject* next = decal->GetSibling();
    auto* later = static_cast<HDecal*>(decal);
    HDecalClipContainer* clips = later->GetChildDecalClipContainer();
    if (HDecalClip* clip = clips ? clips->GetChildDecalClip() : nullptr) {
      const int kind = clip->GetKind()->GetValue();
      first->AddDecalClip(clip->GetClip()->GetClip())->GetKind()->SetValue(kind);
      for (const HPatchUV& placement : later->GetPatchUVs()) {
        char& done = placed[static_cast<std::size_t>(placement.patch)];
        if (!done) first->SetPatchUV(placement.patch, placement.uv);
        done = 1;
      }
    }
    HTreeObject::DeleteHandle(later);
    decal = next;
  }
}

}  // namespace

void NameGroupsAndMergeDecals(HModelCache* model, const ImportTables& tables) {
  if (!model) return;
  NameGroups(model->GetChildGroupContainer(), tables.modelMaterialNames);
  MergeDecals(model->GetChildDecalContainer(), model->GetPatchCount());
}

}  // namespace pigmora
