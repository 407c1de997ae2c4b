#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An OpenGL context that needs no display: EGL on Mesa's surfaceless
// platform, drawing into a multisampled framebuffer object of a fixed size. While it
// lives it is current on this thread; a GLX context that was current before
// (the window's view) is current again afterwards.
class OffscreenContext {
public:
  OffscreenContext() = default;
  ~OffscreenContext();
  OffscreenContext(const OffscreenContext&) = delete;
  OffscreenContext& operator=(const OffscreenContext&) = delete;

  // False with the reason when Mesa's EGL or the framebuffer is not there.
  bool Open(int width, int height, std::string& problem);
  // What was drawn, as RGB rows from the top.
  std::vector<std::uint8_t> ReadPixels() const;

  int Width() const { return width_; }
  int Height() const { return height_; }

private:
  void Close();

  void* display_ = nullptr;                            // EGLDisplay
  void* context_ = nullptr;                            // EGLContext
  unsigned framebuffer_ = 0, colour_ = 0, depth_ = 0;  // multisampled, drawn into
  unsigned resolved_ = 0, resolvedColour_ = 0;         // one sample a pixel, read from
  int width_ = 0, height_ = 0;
  // The GLX context current before Open, restored by Close.
  void* glxDisplay_ = nullptr;
  unsigned long glxDrawable_ = 0, glxReadDrawable_ = 0;
  void* glxContext_ = nullptr;
};
