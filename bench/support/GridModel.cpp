#include "GridModel.h"

#include <sys/resource.h>

#include "Plugin.h"
#include "Plugin/HostProject.h"

HModelCache* BenchGridModel(int side) {
  static HProject* project = CreateHostProject(false);
  static HModelCache* model = nullptr;
  if (model) return model;
  model = HModelCache::New("Grid", 1);
  model->ReservePositions((side + 1) * (side + 1));
  model->ReservePatches(side * side);
  for (int y = 0; y <= side; ++y) {
    for (int x = 0; x <= side; ++x) model->AddPosition(float(x), float(y), 0.0f);
  }
  HGroup* lower = model->AddGroup("lower half");
  HGroup* upper = model->AddGroup("upper half");
  HDecal* decal = model->AddDecal("paint");
  decal->AddDecalClip(project->AddImage("/tmp/paint.png"))->GetKind()->SetValue(HDK_COLOR);
  auto at = [side](int x, int y) { return y * (side + 1) + x; };
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      HPatch* patch = model->AddPatch(at(x, y), at(x + 1, y), at(x + 1, y + 1), at(x, y + 1));
      (y < side / 2 ? lower : upper)->AddPatch(patch->GetIndex());
      const float u0 = float(x) / side, u1 = float(x + 1) / side, v0 = float(y) / side, v1 = float(y + 1) / side;
      const float uv[4][2] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
      decal->SetPatchUV(patch->GetIndex(), uv);
    }
  }
  return model;
}

double PeakMemoryMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}
