#include "Plugin/HDecal.h"

#include <algorithm>

#include "Plugin/HImage.h"
#include "Plugin/HModelCache.h"
#include "Plugin/ObjectTypes.h"

HDecalContainer::HDecalContainer() : HHashObject(HOT_DECAL_CONTAINER, "Decals") {}

HDecal* HDecalContainer::GetChildDecal() const { return static_cast<HDecal*>(GetChild()); }

HDecal* HDecalContainer::AddDecal(const String& name) {
  auto* decal = new HDecal(name);
  AppendChild(decal);
  return decal;
}

HDecalClip::HDecalClip(const String& name) : HHashObject(HOT_DECAL_CLIP, name) {}

HDecalClipContainer::HDecalClipContainer() : HHashObject(HOT_DECAL_CLIP_CONTAINER, "Clips") {}

HDecalClip* HDecalClipContainer::GetChildDecalClip() const { return static_cast<HDecalClip*>(GetChild()); }

HDecalClip* HDecalClipContainer::AddClip(HImage* image) {
  auto* clip = new HDecalClip(image ? image->GetName() : String("Clip"));
  clip->GetClip()->SetClip(image);
  AppendChild(clip);
  return clip;
}

HDecal::HDecal(const String& name) : HHashObject(HOT_DECAL, name), clips_(new HDecalClipContainer) {
  AppendChild(clips_);
}

void HDecal::ChildDetached(HHashObject* child) {
  if (child == clips_) clips_ = nullptr;
}

HDecalClip* HDecal::AddDecalClip(HImage* image) {
  if (!clips_) {
    clips_ = new HDecalClipContainer;
    AppendChild(clips_);
  }
  return clips_->AddClip(image);
}

namespace {

HModelCache* ModelOf(const HDecal* decal) {
  HTreeObject* container = decal->GetParent();
  HTreeObject* model = container ? container->GetParent() : nullptr;
  return model ? model->GetAsModelCache() : nullptr;
}

bool ByPatch(const HPatchUV& a, const HPatchUV& b) { return a.patch < b.patch; }

}  // namespace

const std::vector<HPatchUV>& HDecal::GetPatchUVs() const {
  if (!sorted_) {
    // Later placements of a patch replace earlier ones: keep the last of each.
    std::stable_sort(uvs_.begin(), uvs_.end(), ByPatch);
    std::vector<HPatchUV> unique;
    unique.reserve(uvs_.size());
    for (const HPatchUV& entry : uvs_) {
      if (!unique.empty() && unique.back().patch == entry.patch)
        unique.back() = entry;
      else
        unique.push_back(entry);
    }
    uvs_.swap(unique);
    sorted_ = true;
  }
  return uvs_;
}

bool HDecal::SetPatchUV(int patchIndex, const float uv[4][2]) {
  HModelCache* model = ModelOf(this);
  if (!model || !model->GetPatch(patchIndex)) return false;
  HPatchUV entry;
  entry.patch = patchIndex;
  for (int k = 0; k < 4; ++k) {
    entry.uv[k][0] = uv[k][0];
    entry.uv[k][1] = uv[k][1];
  }
  if (!uvs_.empty() && uvs_.back().patch >= patchIndex) sorted_ = false;
  uvs_.push_back(entry);
  return true;
}

bool HDecal::GetPatchUV(int patchIndex, float uv[4][2]) const {
  const std::vector<HPatchUV>& entries = GetPatchUVs();
  HPatchUV key;
  key.patch = patchIndex;
  auto found = std::lower_bound(entries.begin(), entries.end(), key, ByPatch);
  if (found == entries.end() || found->patch != patchIndex) return false;
  for (int k = 0; k < 4; ++k) {
    uv[k][0] = found->uv[k][0];
    uv[k][1] = found->uv[k][1];
  }
  return true;
}

int HDecal::GetPatchCount() const { return static_cast<int>(GetPatchUVs().size()); }
