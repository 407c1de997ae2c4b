// The automatic import's timer tick, which runs every second while the applink is set to import
// by itself: with no answer waiting it must cost next to nothing (two file-status calls).
// Also the tick that finds an answer still being written, for comparison.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/PluginState.h"
#include "receive/ReceiveModel.h"

using namespace pigmora;

// The plug-in's state, built as the application object builds it.
static PluginState* plugin = nullptr;

namespace {

// The plug-in's settings and exchange folder, in a folder of its own under the temporary folder.
class ScratchSettings {
public:
  ScratchSettings() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pigmora-tick-bench-XXXXXX").string();
    root_ = mkdtemp(pattern.data()) ? pattern : std::string();
    setenv("HASH_REGISTRY_FILE", (root_ / "registry.ini").c_str(), 1);
    setenv("HASH_DOCUMENTS_DIR", (root_ / "Documents").c_str(), 1);
    plugin = new PluginState;
    std::filesystem::create_directories(std::filesystem::path(plugin->Exchange.exportFile.Get()).parent_path());
  }
  ~ScratchSettings() {
    delete plugin;
    plugin = nullptr;
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  ScratchSettings(const ScratchSettings&) = delete;
  ScratchSettings& operator=(const ScratchSettings&) = delete;

private:
  std::filesystem::path root_;
};

void BM_IdleAutoImportTick(benchmark::State& state) {
  ScratchSettings settings;
  for (auto _ : state) benchmark::DoNotOptimize(plugin->Receive(ReceiveTrigger::Timer));
}

// Pigmora has written textures.txt, export.txt is still to come.
void BM_HalfAnswerAutoImportTick(benchmark::State& state) {
  ScratchSettings settings;
  std::ofstream(plugin->Exchange.texturesFile.Get()) << "Body\nmap1\ncolor\n/tmp/none.png\n";
  for (auto _ : state) benchmark::DoNotOptimize(plugin->Receive(ReceiveTrigger::Timer));
}

}  // namespace

BENCHMARK(BM_IdleAutoImportTick)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HalfAnswerAutoImportTick)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
