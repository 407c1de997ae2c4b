// Receives arbitrary answers: the bytes are split into Pigmora's FBX file and
// its "textures.txt" (ReceiveFuzzCase.h), received into a project that holds a
// model and images, and the project is checked afterwards.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <afxhost.h>

#include "ReceiveFuzzCase.h"
#include "app/PluginState.h"

using namespace pigmora;

namespace {

std::filesystem::path scratchRoot;
// The plug-in's state for the whole run, as the application object holds it.
pigmora::PluginState* plugin = nullptr;

void RemoveScratch() {
  std::error_code ignored;
  std::filesystem::remove_all(scratchRoot, ignored);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The documents folder and registry of a scratch folder: the exchange folder lives there.
  std::string pattern = (std::filesystem::temp_directory_path() / "pigmora-receive-fuzz-XXXXXX").string();
  if (!mkdtemp(pattern.data())) std::abort();
  scratchRoot = pattern;
  std::atexit(RemoveScratch);
  const std::filesystem::path& root = scratchRoot;
  setenv("HASH_DOCUMENTS_DIR", (root / "Documents").c_str(), 1);
  setenv("HASH_REGISTRY_FILE", (root / "registry.ini").c_str(), 1);
  AfxUseVirtualClock(true);
  plugin = new pigmora::PluginState;
  if (!plugin->FbxErrorText.IsEmpty()) {
    std::fprintf(stderr, "%s\n", plugin->FbxErrorText.Buffer());
    std::abort();
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string problem = ReceiveFuzzAnswerIntoProject(*plugin, SplitReceiveFuzzInput(data, size));
  if (!problem.empty()) {
    std::fprintf(stderr, "receive fuzzer: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
