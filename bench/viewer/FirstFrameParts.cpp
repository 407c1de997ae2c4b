// Where the first frame of a large model goes, part by part, off screen (as
// `render` and the window draw it, multisampled): reading the OBJ when one is
// given, building the view's arrays and, within that, the coarser copies,
// the context, compiling the shaders and warming them up, the upload, the
// first still frame, a second one (the first pays for memory touched first)
// and a frame as while the camera moves. Wall and processor time (all
// threads, Mesa's rasteriser threads too) and page faults for each.
//   build/bin/view_parts_bench [SIDE | FILE.obj] [WIDTH HEIGHT]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>

#include <FileIO/String.h>
#include <Plugin.h>
#include <Plugin/HostProject.h>

#include <common/HugePages.h>
#include "GridModel.h"
#include "ModelRenderer.h"
#include "OffscreenContext.h"
#include "ViewMesh.h"

namespace {

using Clock = std::chrono::steady_clock;

double ProcessSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

long PageFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt + usage.ru_majflt;
}

// Prints what happened since the last line.
class PartClock {
public:
  void Part(const char* what) {
    const PartClock now;
    std::printf("%-26s %7.3f s wall %7.3f s processor %8ld page faults\n", what,
                std::chrono::duration<double>(now.wall_ - wall_).count(), now.cpu_ - cpu_, now.faults_ - faults_);
    *this = now;
  }

private:
  Clock::time_point wall_ = Clock::now();
  double cpu_ = ProcessSeconds();
  long faults_ = PageFaults();
};

}  // namespace

int main(int argc, char** argv) {
  RestartWithHugePages(argv);  // as hashhost does
  const std::string source = argc > 1 ? argv[1] : "1000";
  const int width = argc > 3 ? std::atoi(argv[2]) : 640, height = argc > 3 ? std::atoi(argv[3]) : 480;
  const bool obj = source.size() > 4 && source.compare(source.size() - 4, 4, ".obj") == 0;
  HModelCache* model = nullptr;
  PartClock clock;
  if (obj) {
    CreateHostProject(false);
    String error, warnings;
    model = ImportObjFile(GetHProject(), source.c_str(), error, warnings);
    if (!model) {
      std::fprintf(stderr, "view_parts_bench: %s\n", error.Get() ? error.Get() : "cannot open the OBJ");
      return 1;
    }
    clock.Part("open the OBJ");
  } else {
    model = BenchGridModel(std::atoi(source.c_str()));
    clock = PartClock();
  }
  std::printf("patches=%d at %d x %d\n", model->GetPatchCount(), width, height);
  ViewMesh mesh;
  BuildViewMesh(*model, mesh);
  clock.Part("arrays, coarser copies too");
  if (!mesh.levels.empty()) {
    AddCoarseLevels(mesh, 0);
    clock.Part("(the coarser copies alone)");
  }
  OffscreenContext context;
  ModelRenderer renderer;
  std::string problem;
  if (!context.Open(width, height, problem)) {
    std::fprintf(stderr, "view_parts_bench: %s\n", problem.c_str());
    return 1;
  }
  clock.Part("context");
  if (!renderer.Initialise(problem)) {
    std::fprintf(stderr, "view_parts_bench: %s\n", problem.c_str());
    return 1;
  }
  clock.Part("compile the shaders");
  renderer.WarmUp(width, height);
  clock.Part("warm-up draw");
  std::vector<std::string> notes;
  renderer.Upload(mesh, notes);
  glFinish();
  clock.Part("upload");
  ViewCamera camera;
  camera.Look(ViewDirection::Iso);
  camera.Frame(renderer.Bounds(), static_cast<float>(width) / static_cast<float>(height));
  for (const char* what : {"first still frame", "second still frame"}) {
    renderer.Draw(camera, width, height);
    glFinish();
    clock.Part(what);
  }
  renderer.Draw(camera, width, height, true);
  glFinish();
  clock.Part("frame while moving");
  renderer.ReleaseGl();
  return 0;
}
