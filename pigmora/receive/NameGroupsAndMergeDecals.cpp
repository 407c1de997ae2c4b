#include <Plugin/HDecal.h>
#include <Plugin/HGroup.h>
#include <Plugin/HModelCache.h>

#include "fbx/SentMaterialName.h"
#include "receive/ImportSteps.h"

namespace pigmora {

namespace {

// The name a new group takes: that of the replaced model's group the send
// named this material after, else the material's own, so that a round trip
// keeps the names the user gave ("head cap", not the sent "head_cap").
String GroupName(const String& materialName, HModelCache* replaced) {
  HGroupContainer* groups = replaced ? replaced->GetChildGroupContainer() : nullptr;
  for (HHashObject* group = groups ? groups->GetChildGroup() : nullptr; group; group = group->GetSibling())
    if (SentMaterialName(group->GetMatchName()) == materialName) return group->GetName();
  return materialName;
}

void NameGroups(HGroupContainer* groups, const std::vector<String>& names, HModelCache* replaced) {
  if (!groups) return;
  std::size_t index = 0;
  for (HHashObject* group = groups->GetChildGroup(); group; ++index) {
    HHashObject* next = group->GetSibling();
    if (index >= names.size()) {
      HTreeObject::DeleteHandle(group);  // the first group beyond the materials
      return;
    }
    group->SetName(GroupName(names[index], replaced));
    group = next;
  }
}

// Gathers the decals of each group (one material's patches) into one decal
// named after the group. The merge makes one decal per image and kind: those
// of one material's channels cover the same patches with the same UVs and
// become one decal with a clip per channel; a decal of an image that several
// materials share is dealt out to the decals of those materials. Patches in
// no group are gathered the same way, keeping their decal's name.
class DecalGatherer {
public:
  explicit DecalGatherer(HModelCache& model) : model_(model) {
    const int patchCount = model.GetPatchCount();
    slotOfPatch_.assign(static_cast<std::size_t>(patchCount), -1);
    placed_.assign(static_cast<std::size_t>(patchCount), 0);
    if (HGroupContainer* groups = model.GetChildGroupContainer()) {
      for (HHashObject* group = groups->GetChildGroup(); group; group = group->GetSibling()) {
        const int slot = static_cast<int>(names_.size());
        names_.push_back(group->GetName());
        for (std::int32_t patch : static_cast<HGroup*>(group)->GetPatchIndices()) {
          if (patch >= 0 && patch < patchCount && slotOfPatch_[static_cast<std::size_t>(patch)] < 0)
            slotOfPatch_[static_cast<std::size_t>(patch)] = slot;
        }
      }
    }
    noGroup_ = static_cast<int>(names_.size());
    names_.emplace_back();
    target_.assign(names_.size(), nullptr);
    seen_.assign(names_.size(), -1);
  }

  void Gather(HDecal* decal, int order) {
    const std::vector<HPatchUV>& placements = decal->GetPatchUVs();
    std::vector<int> slots;
    for (const HPatchUV& placement : placements) {
      const int slot = SlotOf(placement.patch);
      if (seen_[static_cast<std::size_t>(slot)] != order) {
        seen_[static_cast<std::size_t>(slot)] = order;
        slots.push_back(slot);
      }
    }
    if (slots.empty()) return;  // placed nowhere: left as it is
    if (slots.size() == 1 && !target_[static_cast<std::size_t>(slots[0])]) {
      Adopt(decal, slots[0]);
      return;
    }
    for (int slot : slots) {
      HDecal*& target = target_[static_cast<std::size_t>(slot)];
      if (!target)
        target = model_.AddDecal(slot == noGroup_ ? decal->GetName() : names_[static_cast<std::size_t>(slot)]);
      CopyClips(*decal, *target);
      for (const HPatchUV& placement : placements) {
        if (SlotOf(placement.patch) != slot) continue;
        char& placed = placed_[static_cast<std::size_t>(placement.patch)];
        if (!placed) target->SetPatchUV(placement.patch, placement.uv);
        placed = 1;
      }
    }
    HTreeObject::DeleteHandle(decal);
  }

private:
  int SlotOf(int patch) const {
    const int slot = patch >= 0 && patch < static_cast<int>(slotOfPatch_.size())
                         ? slotOfPatch_[static_cast<std::size_t>(patch)]
                         : -1;
    return slot >= 0 ? slot : noGroup_;
  }

  // The decal becomes its group's: it keeps its clips and placements.
  void Adopt(HDecal* decal, int slot) {
    target_[static_cast<std::size_t>(slot)] = decal;
    if (slot != noGroup_) decal->SetName(names_[static_cast<std::size_t>(slot)]);
    for (const HPatchUV& placement : decal->GetPatchUVs()) placed_[static_cast<std::size_t>(placement.patch)] = 1;
  }

  static void CopyClips(HDecal& from, HDecal& to) {
    HDecalClipContainer* clips = from.GetChildDecalClipContainer();
    for (HHashObject* c = clips ? clips->GetChildDecalClip() : nullptr; c; c = c->GetSibling()) {
      auto* clip = static_cast<HDecalClip*>(c);
      const int kind = clip->GetKind()->GetValue();
      to.AddDecalClip(clip->GetClip()->GetClip())->GetKind()->SetValue(kind);
    }
  }

  HModelCache& model_;
  std::vector<int> slotOfPatch_;  // per patch: its group's slot, -1 for none
  std::vector<char> placed_;      // per patch: its gathered decal places it
  std::vector<String> names_;     // per slot: the group's name; the last slot is for patches in no group
  int noGroup_ = 0;
  std::vector<HDecal*> target_;  // per slot: the decal gathering its clips
  std::vector<int> seen_;        // per slot: the last decal found placing it
};

void MergeDecals(HModelCache& model) {
  HDecalContainer* decals = model.GetChildDecalContainer();
  if (!decals) return;
  std::vector<HDecal*> existing;
  for (HHashObject* decal = decals->GetChildDecal(); decal; decal = decal->GetSibling())
    existing.push_back(static_cast<HDecal*>(decal));
  DecalGatherer gatherer(model);
  for (std::size_t i = 0; i < existing.size(); ++i) gatherer.Gather(existing[i], static_cast<int>(i));
}

}  // namespace

void NameGroupsAndMergeDecals(HModelCache* model, const ImportTables& tables, HModelCache* replaced) {
  if (!model) return;
  NameGroups(model->GetChildGroupContainer(), tables.modelMaterialNames, replaced);
  MergeDecals(*model);
}

}  // namespace pigmora
