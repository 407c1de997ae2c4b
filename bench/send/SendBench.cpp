// One send of a 1,000,000-patch model (a 1000 x 1000 grid of quads in two
// groups with a colour decal over all of it): conversion, materials, FBX
// scene, ASCII write and the command file, into a scratch exchange folder.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "Plugin.h"
#include "Plugin/HostProject.h"
#include "fbx/FbxContext.h"
#include "send/ExportJob.h"
#include "send/FbxModelNode.h"
#include "send/SendCommand.h"
#include "shell/ApplinkSettings.h"
#include "shell/HxtApp.h"
#include "shell/SettingsCatalog.h"

namespace {

constexpr int kSide = 1000;

double PeakMemoryMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Settings, exchange folder and FBX context as the plug-in has them once
// loaded, in a folder of its own under the temporary folder.
class ScratchPlugin {
public:
  ScratchPlugin() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pigmora-bench-XXXXXX").string();
    root_ = mkdtemp(pattern.data()) ? pattern : std::string();
    setenv("HASH_REGISTRY_FILE", (root_ / "registry.ini").c_str(), 1);
    setenv("HASH_DOCUMENTS_DIR", (root_ / "Documents").c_str(), 1);
    TheApplinkSettings = new ApplinkSettings(APPLINK_SETTINGS_SECTION);
    RegisterApplinkSettings(*TheApplinkSettings);
    SetSettingString("exePath", "/opt/pigmora/Pigmora");
    FbxString error;
    InitFbxContext(error);
  }
  ~ScratchPlugin() {
    DestroyFbxContext();
    delete TheApplinkSettings;
    TheApplinkSettings = nullptr;
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  std::filesystem::path ModelFile() const {
    return root_ / "Documents" / "PigmoraV3" / "Exchange" / "Hash" / "data" / "export.fbx";
  }

private:
  std::filesystem::path root_;
};

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

// The host's conversion and the material collection.
void BM_BuildExportJob(benchmark::State& state) {
  HModelCache* model = BuildGrid();
  for (auto _ : state) {
    ExportJob job = BuildExportJob(model, "unused.fbx");
    benchmark::DoNotOptimize(job.built);
    state.PauseTiming();
    job = ExportJob();
    state.ResumeTiming();
  }
  state.counters["patches"] = model->GetPatchCount();
  state.counters["peak_MB"] = PeakMemoryMegabytes();
}

// The node, mesh, UV set, materials and textures made from a built job.
void BM_BuildFbxNode(benchmark::State& state) {
  HModelCache* model = BuildGrid();
  ScratchPlugin plugin;
  const ExportJob job = BuildExportJob(model, "unused.fbx");
  for (auto _ : state) {
    FbxNode* node = BuildFbxNode(job);
    state.PauseTiming();
    GetFbxContextScene()->GetRootNode()->AddChild(node);
    GetFbxContextScene()->Clear();
    state.ResumeTiming();
  }
  state.counters["peak_MB"] = PeakMemoryMegabytes();
}

// The whole send of a mode button: both files.
void BM_SendModel(benchmark::State& state) {
  HModelCache* model = BuildGrid();
  ScratchPlugin plugin;
  CurrentTreeObject = model;
  for (auto _ : state) RunSendCommand(nullptr, 1001);
  CurrentTreeObject = nullptr;
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(plugin.ModelFile())) / 1e6;
  state.counters["peak_MB"] = PeakMemoryMegabytes();
}

}  // namespace

BENCHMARK(BM_BuildExportJob)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_BuildFbxNode)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SendModel)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
