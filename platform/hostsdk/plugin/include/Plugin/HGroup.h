#pragma once

#include <cstdint>
#include <vector>

#include "Plugin/Export.h"
#include "Plugin/HAttrProperty.h"
#include "Plugin/HTreeObject.h"

class HGroup;
class HModelCache;
class HPatch;

// The groups of one model, in order.
class PLUGIN_API HGroupContainer : public HHashObject {
public:
  HGroupContainer();
  HGroup* GetChildGroup() const;

private:
  friend class HModelCache;
  HGroup* AddGroup(const String& name);
};

// A named set of patches of one model with its own surface attributes.
class PLUGIN_API HGroup : public HHashObject {
public:
  explicit HGroup(const String& name);

  HAttrProperty* GetAttr() { return &attr_; }
  // Non-zero when the patch belongs to this group's model and to the group.
  int IsPatchInGroup(const HPatch* patch) const;
  // Adds a patch by its index in the model; false when the model has no such patch.
  bool AddPatch(int patchIndex);
  int GetPatchCount() const { return static_cast<int>(patches_.size()); }
  // Patch indices, ascending.
  const std::vector<std::int32_t>& GetPatchIndices() const;
  HModelCache* GetModel() const;

private:
  HAttrProperty attr_;
  mutable std::vector<std::int32_t> patches_;
  mutable bool sorted_ = true;
};
