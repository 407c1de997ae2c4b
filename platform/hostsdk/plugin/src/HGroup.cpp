#include "Plugin/HGroup.h"

#include <algorithm>

#include "Plugin/HModelCache.h"
#include "Plugin/ObjectTypes.h"

HGroupContainer::HGroupContainer() : HHashObject(HOT_GROUP_CONTAINER, "Groups") {}

HGroup* HGroupContainer::GetChildGroup() const { return static_cast<HGroup*>(GetChild()); }

HGroup* HGroupContainer::AddGroup(const String& name) {
  auto* group = new HGroup(name);
  AppendChild(group);
  return group;
}

HGroup::HGroup(const String& name) : HHashObject(HOT_GROUP, name) {}

HModelCache* HGroup::GetModel() const {
  HTreeObject* container = GetParent();
  HTreeObject* model = container ? container->GetParent() : nullptr;
  return model ? model->GetAsModelCache() : nullptr;
}

const std::vector<std::int32_t>& HGroup::GetPatchIndices() const {
  if (!sorted_) {
    std::sort(patches_.begin(), patches_.end());
    patches_.erase(std::unique(patches_.begin(), patches_.end()), patches_.end());
    sorted_ = true;
  }
  return patches_;
}

bool HGroup::AddPatch(int patchIndex) {
  HModelCache* model = GetModel();
  if (!model || !model->GetPatch(patchIndex)) return false;
  if (!patches_.empty() && patches_.back() >= patchIndex) sorted_ = false;
  patches_.push_back(patchIndex);
  return true;
}

int HGroup::IsPatchInGroup(const HPatch* patch) const {
  HModelCache* model = GetModel();
  if (!patch || !model || model->GetPatch(patch->GetIndex()) != patch) return 0;
  const std::vector<std::int32_t>& indices = GetPatchIndices();
  return std::binary_search(indices.begin(), indices.end(), patch->GetIndex()) ? 1 : 0;
}
