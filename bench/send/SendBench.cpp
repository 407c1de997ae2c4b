// One send of a 1,000,000-patch model (a 1000 x 1000 grid of quads in two
// groups with a color decal over all of it): conversion, materials, FBX
// scene, ASCII write and the command file, into a scratch exchange folder.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "GridModel.h"
#include "Plugin.h"
#include "Plugin/HostProject.h"
#include "app/PluginState.h"
#include "fbx/FbxContext.h"
#include "send/ExportJob.h"
#include "send/FbxModelNode.h"
#include "send/SendCommand.h"

using namespace pigmora;

namespace {

constexpr int kSide = 1000;

// Settings, exchange folder and FBX context as the plug-in has them once
// loaded, in a folder of its own under the temporary folder.
class ScratchPlugin {
public:
  ScratchPlugin() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pigmora-bench-XXXXXX").string();
    root_ = mkdtemp(pattern.data()) ? pattern : std::string();
    setenv("HASH_REGISTRY_FILE", (root_ / "registry.ini").c_str(), 1);
    setenv("HASH_DOCUMENTS_DIR", (root_ / "Documents").c_str(), 1);
    state_.emplace();
    state_->Settings.SetSettingString(Option::ExePath, "/opt/pigmora/Pigmora");
  }
  ~ScratchPlugin() {
    state_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  PluginState& State() { return *state_; }
  std::filesystem::path ModelFile() const {
    return root_ / "Documents" / "PigmoraV3" / "Exchange" / "Hash" / "data" / "export.fbx";
  }

private:
  std::filesystem::path root_;
  std::optional<PluginState> state_;
};

// The host's conversion and the material collection.
void BM_BuildExportJob(benchmark::State& state) {
  HModelCache* model = BenchGridModel(kSide);
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
  HModelCache* model = BenchGridModel(kSide);
  ScratchPlugin plugin;
  const ExportJob job = BuildExportJob(model, "unused.fbx");
  for (auto _ : state) {
    FbxNode* node = BuildFbxNode(plugin.State().Fbx.Manager(), job);
    state.PauseTiming();
    plugin.State().Fbx.Scene()->GetRootNode()->AddChild(node);
    plugin.State().Fbx.Scene()->Clear();
    state.ResumeTiming();
  }
  state.counters["peak_MB"] = PeakMemoryMegabytes();
}

// The whole send of a mode button: both files.
void BM_SendModel(benchmark::State& state) {
  HModelCache* model = BenchGridModel(kSide);
  ScratchPlugin plugin;
  plugin.State().CurrentTreeObject.Set(model);
  for (auto _ : state) RunSendCommand(0, plugin.State().ForSend());
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(plugin.ModelFile())) / 1e6;
  state.counters["peak_MB"] = PeakMemoryMegabytes();
}

}  // namespace

BENCHMARK(BM_BuildExportJob)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_BuildFbxNode)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SendModel)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
