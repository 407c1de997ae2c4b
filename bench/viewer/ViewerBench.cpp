// hashhost's view of the 1,000,000-patch grid: the whole off-screen picture
// (arrays, context, upload, one multisampled frame, PNG) at 640 x 480 and at
// 1920 x 1080, its parts, and frames drawn while orbiting once the model is
// uploaded.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>

#include <common/HugePages.h>
#include "GridModel.h"
#include "ModelPicture.h"
#include "ModelRenderer.h"
#include "OffscreenContext.h"
#include "Plugin/HModelCache.h"
#include "ViewMesh.h"

namespace {

constexpr int kSide = 1000;
constexpr int kWidth = 640;
constexpr int kHeight = 480;

// state.range(0) x state.range(1) pixels.
void BM_GridPictureToPng(benchmark::State& state) {
  HModelCache* model = BenchGridModel(kSide);
  const std::string path = "/tmp/viewer_bench_" + std::to_string(getpid()) + ".png";
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  for (auto _ : state) {
    ModelPicture picture;
    std::string problem;
    if (!DrawModelPicture(*model, width, height, ViewDirection::Iso, ViewShading::Lit, picture, problem) ||
        !WritePicturePng(picture, path, problem)) {
      state.SkipWithError(problem.c_str());
      break;
    }
  }
  std::remove(path.c_str());
  state.counters["patches"] = model->GetPatchCount();
  state.counters["peak_MB"] = PeakMemoryMegabytes();
}

void BM_BuildViewMesh(benchmark::State& state) {
  HModelCache* model = BenchGridModel(kSide);
  for (auto _ : state) {
    ViewMesh mesh;
    BuildViewMesh(*model, mesh);
    benchmark::DoNotOptimize(mesh.indices.data());
  }
}

void BM_Fingerprint(benchmark::State& state) {
  HModelCache* model = BenchGridModel(kSide);
  for (auto _ : state) benchmark::DoNotOptimize(ViewMeshFingerprint(*model));
}

// One frame of an orbit, drawn and finished: what a drag costs once uploaded.
// state.range(0): 1 draws as while the camera moves (a coarser copy).
void BM_OrbitFrame(benchmark::State& state) {
  HModelCache* model = BenchGridModel(kSide);
  OffscreenContext context;
  ModelRenderer renderer;
  std::string problem;
  if (!context.Open(kWidth, kHeight, problem) || !renderer.Initialise(problem)) {
    state.SkipWithError(problem.c_str());
    return;
  }
  {
    ViewMesh mesh;
    BuildViewMesh(*model, mesh);
    std::vector<std::string> notes;
    renderer.Upload(mesh, notes);
  }
  ViewCamera camera;
  camera.Look(ViewDirection::Iso);
  camera.Frame(renderer.Bounds(), static_cast<float>(kWidth) / kHeight);
  for (auto _ : state) {
    camera.Orbit(5, 0);
    renderer.Draw(camera, kWidth, kHeight, state.range(0) != 0);
    glFinish();
  }
  renderer.ReleaseGl();
}

}  // namespace

BENCHMARK(BM_GridPictureToPng)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Args({kWidth, kHeight})
    ->Args({1920, 1080});
BENCHMARK(BM_BuildViewMesh)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Fingerprint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OrbitFrame)->Unit(benchmark::kMillisecond)->Iterations(10)->Arg(0)->Arg(1);
int main(int argc, char** argv) {
  RestartWithHugePages(argv);  // as hashhost does
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
