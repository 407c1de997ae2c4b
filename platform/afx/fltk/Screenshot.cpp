#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <memory>
#include <string>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>

namespace afx {

namespace {

constexpr int kLongestWaitForMapMs = 5000;

// show() only asks for the window: until the server has mapped it, what is
// read back is black. Waits (handling events) until it is viewable.
bool WaitUntilViewable(Fl_Window* window) {
  for (int waited = 0; waited <= kLongestWaitForMapMs; waited += 20) {
    Fl::check();
    XWindowAttributes attributes{};
    if (window->shown() && XGetWindowAttributes(fl_display, fl_xid(window), &attributes) &&
        attributes.map_state == IsViewable)
      return true;
    Fl::wait(0.02);
  }
  return false;
}

}  // namespace

// Writes what a shown window displays as an RGB PNG, once it has been drawn.
bool WriteWindowPng(Fl_Window* window, const std::string& path, std::string& problem) {
  if (!window || !window->shown()) {
    problem = "no window is shown";
    return false;
  }
  if (!WaitUntilViewable(window)) {
    problem = "the window did not appear on the display";
    return false;
  }
  // Draw now, and let the server finish drawing before the pixels are read.
  window->redraw();
  Fl::flush();
  XSync(fl_display, False);
  Fl::check();
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
