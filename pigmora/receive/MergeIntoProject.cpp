#include "receive/MergeIntoProject.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <unordered_set>
#include <vector>

#include <Plugin/HDecal.h>
#include <Plugin/HGroup.h>
#include <Plugin/HImage.h>
#include <Plugin/HModelCache.h>
#include <Plugin/HProject.h>
#include <Plugin/HSpline.h>

#include "fbx/SentMaterialName.h"
#include "files/FilePathKey.h"
#include "host/CurrentObject.h"
#include "receive/ImagesInUse.h"
#include "receive/InterchangeImagePath.h"

namespace pigmora {

HModelCache* FindOtherModel(HModelCache* model, const String& name) {
  HProject* project = GetHProject();
  HObjectCacheContainer* objects = project ? project->GetChildObjectCacheContainer() : nullptr;
  if (!objects) return nullptr;
  for (HHashObject* child = objects->GetChild(); child; child = child->GetSibling()) {
    if (child == model) continue;
    if (child->GetName() == name) return child->GetAsModelCache();
  }
  return nullptr;
}

namespace {

// Makes way for the images the new model brings: for each of its files, the
// first project image of that file that no model's decal shows any more is
// deleted. The decals of replaced, the older model the new one replaces (or
// null), do not count; every other model keeps its images.
void RemoveReplacedImages(const IEPolyModel& model, HProject* project, const HModelCache* replaced) {
  HClipCacheContainer* container = project ? project->GetChildClipCacheContainer() : nullptr;
  if (!container || model.images.count == 0) return;
  // One image per file the new model brings may go, as the file system tells files apart.
  std::unordered_set<std::string> files;
  for (const IEImage& image : model.images) files.insert(FilePathKey(InterchangeImagePath(image).c_str()));
  const std::unordered_set<const HImage*> used = ImagesInUse(*project, replaced);
  HHashObject* child = container->GetChild();
  while (child && !files.empty()) {
    HHashObject* next = child->GetSibling();
    auto* image = static_cast<HImage*>(child);
    if (!used.count(image) && files.erase(FilePathKey(image->GetFilename()->GetValue())))
      HTreeObject::DeleteHandle(image);
    child = next;
  }
}

}  // namespace

void SetSplineMagnitudes(HModelCache* model, float magnitude) {
  if (!model) return;
  for (HSpline* spline = model->GetHeadSpline(); spline; spline = spline->GetNextSpline()) {
    // On a closed spline the loop point leads back to the head: stop after it.
    for (HCP* cp = spline->GetHeadCP(); cp; cp = cp->GetNext()) {
      const bool loop = cp->IsLoop();
      cp->SetInMagnitude(magnitude);
      cp->SetOutMagnitude(magnitude);
      if (loop) break;
    }
  }
}

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

namespace {

// Moves the scene instances of an older model of that name to model, deletes
// the older model and gives model the plain name.
void ReplaceOlderModel(HModelCache* model, const String& name, CurrentObject& current) {
  HModelCache* older = FindOtherModel(model, name);
  if (!older) return;
  older->ChangeShortCuts(model);
  current.FollowReplacement(older, model);
  HTreeObject::DeleteHandle(older);
  model->SetName(name);
}

}  // namespace

// Older images of the new model's files make way just before the merge, so its
// images take their names.
bool MergeIntoProject(CurrentObject& current, std::unique_ptr<IEPolyModel> model, const String& name,
                      const ImportTables& tables, String& errorText) {
  HModelCache* merged = HModelCache::New(name, 1);
  if (!merged) {
    errorText = String("Can't create the model '") + name + "' in the project";
    return false;
  }
  HModelCache* replaced = FindOtherModel(merged, name);
  RemoveReplacedImages(*model, GetHProject(), replaced);
  // No welding tolerance: Pigmora's vertices are taken as the file has them;
  // groups and decals are merged.
  const int mergeResult =
      merged->MergeIEModel(model.get(), name, /*tolerance=*/0.0f, /*mergeGroups=*/1, /*mergeDecals=*/1);
  model.reset();  // all of it is in the host model now
  if (!mergeResult) {
    HTreeObject::DeleteHandle(merged);
    errorText = String("The received model '") + name + "' could not be merged into the project";
    return false;
  }
  SetSplineMagnitudes(merged, 1.0f);
  NameGroupsAndMergeDecals(merged, tables, replaced);
  ReplaceOlderModel(merged, name, current);
  return true;
}

}  // namespace pigmora
