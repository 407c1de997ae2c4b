#pragma once

#include <set>
#include <string>
#include <utility>

#include "Plugin.h"

// The bytes of an image file as far as a copy checks them: a PNG signature, then some pixels.
inline std::string ImageBytes(const std::string& pixels) { return std::string("\x89PNG\r\n\x1a\n", 8) + pixels; }

// Every undirected edge of the model's patches.
inline std::set<std::pair<int, int>> PatchEdges(HModelCache& model) {
  std::set<std::pair<int, int>> edges;
  for (int i = 0; i < model.GetPatchCount(); ++i) {
    HPatch* patch = model.GetPatch(i);
    const int n = patch->GetCornerCount();
    for (int k = 0; k < n; ++k) {
      int a = patch->GetCorner(k);
      int b = patch->GetCorner((k + 1) % n);
      edges.insert({std::min(a, b), std::max(a, b)});
    }
  }
  return edges;
}

// The edges the splines run along; counts an edge once per spline segment on it.
inline std::multiset<std::pair<int, int>> SplineEdges(HModelCache& model, int* closedSplines = nullptr) {
  std::multiset<std::pair<int, int>> edges;
  if (closedSplines) *closedSplines = 0;
  for (HSpline* spline = model.GetHeadSpline(); spline; spline = spline->GetNextSpline()) {
    for (HCP* cp = spline->GetHeadCP(); cp; cp = cp->GetNext()) {
      HCP* next = cp->GetNext();
      if (!next) break;
      int a = cp->GetPositionIndex();
      int b = next->GetPositionIndex();
      edges.insert({std::min(a, b), std::max(a, b)});
      if (cp->IsLoop()) {
        if (closedSplines) ++*closedSplines;
        break;
      }
    }
  }
  return edges;
}

inline HGroup* GroupNamed(HModelCache& model, const char* name) {
  HGroupContainer* groups = model.GetChildGroupContainer();
  for (HGroup* g = groups ? groups->GetChildGroup() : nullptr; g; g = static_cast<HGroup*>(g->GetSibling())) {
    if (g->GetName() == String(name)) return g;
  }
  return nullptr;
}

inline std::vector<HDecal*> Decals(HModelCache& model) {
  std::vector<HDecal*> decals;
  HDecalContainer* container = model.GetChildDecalContainer();
  for (HDecal* d = container ? container->GetChildDecal() : nullptr; d; d = static_cast<HDecal*>(d->GetSibling())) {
    decals.push_back(d);
  }
  return decals;
}
