// The window's view of the million-patch grid on whatever display is there
// (xvfb-run for a virtual one): seconds from choosing the model to its first
// frame (multisampled where the display offers it; the line says how many
// samples a pixel), then frames per second while it is redrawn, as during an
// orbit.
//   xvfb-run -a build/bin/view_window_bench [SIDE] [FRAMES]
#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <common/HugePages.h>
#include "GridModel.h"
#include "ModelView.h"

int main(int argc, char** argv) {
  RestartWithHugePages(argv);  // as hashhost does
  const int side = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int frames = argc > 2 ? std::atoi(argv[2]) : 20;
  HModelCache* model = BenchGridModel(side);
  bool chosen = false;
  Fl_Window window(640, 480, "view_window_bench");
  auto* view = new ModelView(0, 0, 640, 480);
  window.end();
  view->SetModelSource([&] { return chosen ? model : nullptr; });
  window.show();
  using Clock = std::chrono::steady_clock;
  // A frame counts once the view's draw has run and OpenGL has finished it;
  // until the window is mapped FLTK draws nothing, so each wait is for that.
  auto waitForFrame = [view](long long before) {
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (view->FramesDrawn() <= before && Clock::now() < deadline) Fl::wait(0.001);
    view->make_current();
    glFinish();
  };
  waitForFrame(0);  // the empty view, once the window is up
  auto finish = [view, &waitForFrame] {
    const long long before = view->FramesDrawn();
    view->redraw();
    waitForFrame(before);
  };
  const std::clock_t cpuChose = std::clock();
  const auto chose = Clock::now();
  chosen = true;
  view->Follow();
  finish();
  const double first = std::chrono::duration<double>(Clock::now() - chose).count();

  GLint samples = 0;
  glGetIntegerv(GL_SAMPLES, &samples);
  std::printf("patches=%d first_frame_s=%.3f (%.3f s processor time) samples_per_pixel=%d\n", side * side, first,
              static_cast<double>(std::clock() - cpuChose) / CLOCKS_PER_SEC, samples);
  // Frames as a drag draws them (a coarser copy), then as a still view.
  for (bool moving : {true, false}) {
    view->SetMoving(moving);
    const std::clock_t cpuStart = std::clock();
    const auto start = Clock::now();
    for (int i = 0; i < frames; ++i) finish();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    // Processor time of all threads: on a busy machine the wall clock says little.
    const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    std::printf("%s fps=%.2f (%d frames in %.2f s, %.3f s processor time a frame)\n", moving ? "moving" : "still",
                frames / seconds, frames, seconds, cpu / frames);
  }
  return 0;
}
