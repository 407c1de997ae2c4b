// BuildExportModel and MergeIEModel of a 1,000,000-patch model: a 1000 x 1000
// grid of quads in two groups with a colour decal over all of it.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include "Interchange/IERecords.h"
#include "Plugin.h"
#include "Plugin/HostProject.h"

namespace {

constexpr int kSide = 1000;

double PeakMemoryMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

HModelCache* BuildGrid() {
  static HProject* project = CreateHostProject(false);
  static HModelCache* model = nullptr;
  if (model) return model;
  model = HModelCache::New("Grid", 1);
  model->ReservePositions((kSide + 1) * (kSide + 1));
  model->ReservePatches(kSide * kSide);
  for (int y = 0; y <= kSide; ++y) {
    for (int x = 0; x <= kSide; ++x) model->AddPosition(float(x), float(y), 0.0f);
  }
  HGroup* lower = model->AddGroup("lower half");
  HGroup* upper = model->AddGroup("upper half");
  HDecal* decal = model->AddDecal("paint");
  decal->AddDecalClip(project->AddImage("/tmp/paint.png"))->GetKind()->SetValue(HDK_COLOR);
  auto at = [](int x, int y) { return y * (kSide + 1) + x; };
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      HPatch* patch = model->AddPatch(at(x, y), at(x + 1, y), at(x + 1, y + 1), at(x, y + 1));
      (y < kSide / 2 ? lower : upper)->AddPatch(patch->GetIndex());
      const float u0 = float(x) / kSide, u1 = float(x + 1) / kSide, v0 = float(y) / kSide, v1 = float(y + 1) / kSide;
      const float uv[4][2] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
      decal->SetPatchUV(patch->GetIndex(), uv);
    }
  }
  return model;
}

void BM_BuildExportModel(benchmark::State& state) {
  HModelCache* model = BuildGrid();
  for (auto _ : state) {
    IEPolyModel* out = model->BuildExportModel(nullptr, "");
    benchmark::DoNotOptimize(out);
    state.PauseTiming();
    DeleteIEModel(out);
    state.ResumeTiming();
  }
  state.counters["patches"] = model->GetPatchCount();
  state.counters["peak_MB"] = PeakMemoryMegabytes();
}

void BM_MergeIEModel(benchmark::State& state) {
  HModelCache* model = BuildGrid();
  IEPolyModel* source = model->BuildExportModel(nullptr, "");
  HModelCache* target = HModelCache::New("Merged", 1);
  for (auto _ : state) {
    int merged = target->MergeIEModel(source, "Merged", 0.0f, 1, 1);
    benchmark::DoNotOptimize(merged);
  }
  state.counters["splines"] = target->CountSplines();
  state.counters["peak_MB"] = PeakMemoryMegabytes();
  DeleteIEModel(source);
  HTreeObject::DeleteHandle(target);
}

}  // namespace

BENCHMARK(BM_BuildExportModel)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MergeIEModel)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
