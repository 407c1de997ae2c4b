#include "Plugin/HModelCache.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "Plugin/HDecal.h"
#include "Plugin/HGroup.h"
#include "Plugin/HProject.h"
#include "Plugin/ObjectTypes.h"
#include "SplineBuilder.h"
#include "UniqueName.h"

HModelCache::HModelCache(const String& name) : HHashObject(HOT_MODEL, name) {}

HModelCache* HModelCache::New(const String& name, int addToProject) {
  if (!addToProject) return new HModelCache(name);
  return NewInProject(GetHProject(), name);
}

HModelCache* HModelCache::NewInProject(HProject* project, const String& name) {
  if (!project) return nullptr;
  HObjectCacheContainer* folder = project->GetChildObjectCacheContainer();
  auto* model = new HModelCache(
      UniqueName(name, [folder](const String& candidate) { return folder->FindModel(candidate) != nullptr; }));
  folder->AddModel(model);
  return model;
}

HModelCache::~HModelCache() {
  // An instance without its model means nothing: the scenes lose it too.
  std::vector<HAnimObject*> instances = shortcuts_;
  for (HAnimObject* instance : instances) {
    instance->model_ = nullptr;
    DeleteHandle(instance);
  }
}

int HModelCache::ChangeShortCuts(HModelCache* target) {
  if (!target || target == this) return 0;
  int moved = 0;
  for (HAnimObject* instance : shortcuts_) {
    instance->model_ = target;
    target->shortcuts_.push_back(instance);
    ++moved;
  }
  shortcuts_.clear();
  return moved;
}

int HModelCache::AddPosition(float x, float y, float z) {
  positions_.push_back(HVector{x, y, z});
  return static_cast<int>(positions_.size()) - 1;
}

HPatch* HModelCache::AddPatch(int a, int b, int c, int d) {
  const int count = d < 0 ? 3 : 4;
  const int corners[4] = {a, b, c, count == 3 ? a : d};
  for (int k = 0; k < 4; ++k) {
    if (corners[k] < 0 || corners[k] >= GetPositionCount()) return nullptr;
  }
  HPatch patch;
  for (int k = 0; k < 4; ++k) patch.corners_[k] = corners[k];
  patch.cornerCount_ = count;
  patch.index_ = GetPatchCount();
  patches_.push_back(patch);
  return &patches_.back();
}

HPatch* HModelCache::GetPatch(int index) {
  if (index < 0 || index >= GetPatchCount()) return nullptr;
  return &patches_[static_cast<std::size_t>(index)];
}

HCP* HModelCache::NewCP(int position) {
  HCP& cp = cps_.emplace_back();
  cp.position_ = position;
  return &cp;
}

HSpline* HModelCache::AddSpline(const int* positions, int count, bool closed) {
  if (!positions || count < 2 || (closed && count < 3)) return nullptr;
  for (int i = 0; i < count; ++i) {
    if (positions[i] < 0 || positions[i] >= GetPositionCount()) return nullptr;
  }
  HSpline& spline = splines_.emplace_back();
  HCP* previous = nullptr;
  for (int i = 0; i < count; ++i) {
    HCP* cp = NewCP(positions[i]);
    if (previous)
      previous->next_ = cp;
    else
      spline.head_ = cp;
    previous = cp;
  }
  if (closed) {
    previous->loop_ = true;
    previous->next_ = spline.head_;
  }
  if (tailSpline_)
    tailSpline_->next_ = &spline;
  else
    headSpline_ = &spline;
  tailSpline_ = &spline;
  ++splineCount_;
  return &spline;
}

void HModelCache::ClearSplines() {
  cps_.clear();
  splines_.clear();
  headSpline_ = nullptr;
  tailSpline_ = nullptr;
  splineCount_ = 0;
}

void HModelCache::BuildSplinesAlongPatchEdges() {
  ClearSplines();
  std::vector<SplinePath> paths = BuildSplinePaths(positions_, patches_);
  for (const SplinePath& path : paths) {
    AddSpline(path.positions.data(), static_cast<int>(path.positions.size()), path.closed);
  }
}

HGroup* HModelCache::AddGroup(const String& name) {
  if (!groups_) {
    groups_ = new HGroupContainer;
    AppendChild(groups_);
  }
  return groups_->AddGroup(name);
}

HDecal* HModelCache::AddDecal(const String& name) {
  if (!decals_) {
    decals_ = new HDecalContainer;
    AppendChild(decals_);
  }
  return decals_->AddDecal(name);
}

int HModelCache::CountGroups() const { return groups_ ? groups_->CountChildren() : 0; }

int HModelCache::CountDecals() const { return decals_ ? decals_->CountChildren() : 0; }

void HModelCache::SetPatchNormals(int patch, const float normals[4][3]) {
  if (patch < 0 || patch >= GetPatchCount()) return;
  if (patchNormals_.size() < patches_.size()) {
    std::array<float, 12> none{};
    none.fill(std::numeric_limits<float>::quiet_NaN());
    patchNormals_.resize(patches_.size(), none);
  }
  std::memcpy(patchNormals_[static_cast<std::size_t>(patch)].data(), normals, 12 * sizeof(float));
}

bool HModelCache::GetPatchNormals(int patch, float normals[4][3]) const {
  if (patch < 0 || static_cast<std::size_t>(patch) >= patchNormals_.size()) return false;
  const std::array<float, 12>& given = patchNormals_[static_cast<std::size_t>(patch)];
  if (std::isnan(given[0])) return false;
  std::memcpy(normals, given.data(), 12 * sizeof(float));
  return true;
}

void HModelCache::ClearGeometry() {
  DeleteHandle(groups_);
  DeleteHandle(decals_);
  ClearSplines();
  patches_.clear();
  patchNormals_.clear();
  positions_.clear();
}

void HModelCache::ChildDetached(HHashObject* child) {
  if (child == groups_) groups_ = nullptr;
  if (child == decals_) decals_ = nullptr;
}
