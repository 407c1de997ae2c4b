// The Windows build of hashhost is headless: FLTK and the OpenGL view have no MinGW package. Its
// script mode runs as on Linux; what needs the window or the view says so and fails cleanly.
#include <string>
#include <vector>

#include "HostWindow.h"
#include "ModelPicture.h"
#include "ScriptRunner.h"

namespace {
const char kNoWindows[] = "the Windows build of hashhost is headless (no window display)";
const char kNoView[] = "render needs the 3D view, which the Windows build of hashhost leaves out";
}  // namespace

int RunWithWindows(HProject*, PluginHost&, ExchangeStatus*, const std::vector<ScriptCommand>*, std::string& problem) {
  problem = kNoWindows;
  return 2;
}

void AddWindowCommands(ScriptRunner& runner, HostWindow*) {
  for (const char* verb : {"menu", "pick"}) {
    runner.AddCommand(verb, [](const std::vector<std::string>&, std::string& why) {
      why = kNoWindows;
      return false;
    });
  }
}

const char* WindowCommandSummary() { return ""; }

bool DisplayAvailable() { return false; }

bool DrawModelPicture(HModelCache&, int, int, ViewDirection, ViewShading, ModelPicture&, std::string& problem) {
  problem = kNoView;
  return false;
}

bool WritePicturePng(const ModelPicture&, const std::string&, std::string& problem) {
  problem = kNoView;
  return false;
}
