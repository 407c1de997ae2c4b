#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <memory>
#include <string>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>

namespace afx {

// Writes what a shown window displays as an RGB PNG.
bool WriteWindowPng(Fl_Window* window, const std::string& path, std::string& problem) {
  if (!window || !window->shown()) {
    problem = "no window is shown";
    return false;
  }
  window->redraw();
  Fl::flush();
  window->make_current();
  const int width = window->w();
  const int height = window->h();
  std::unique_ptr<uchar[]> pixels(fl_read_image(nullptr, 0, 0, width, height));
  if (!pixels) {
    problem = "cannot read the window's pixels";
    return false;
  }
  if (!stbi_write_png(path.c_str(), width, height, 3, pixels.get(), width * 3)) {
    problem = "cannot write '" + path + "'";
    return false;
  }
  return true;
}

}  // namespace afx
