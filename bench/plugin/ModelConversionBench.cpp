// BuildExportModel and MergeIEModel of a 1,000,000-patch model: a 1000 x 1000
// grid of quads in two groups with a color decal over all of it.
#include <benchmark/benchmark.h>

#include "GridModel.h"
#include "Interchange/IERecords.h"
#include "Plugin.h"
#include "Plugin/HostProject.h"

namespace {

constexpr int kSide = 1000;

void BM_BuildExportModel(benchmark::State& state) {
  HModelCache* model = BenchGridModel(kSide);
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
  HModelCache* model = BenchGridModel(kSide);
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
