#include "WindowPlacement.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include <algorithm>

namespace afx {

namespace {

bool OwnerOnScreen(Fl_Window* owner, int& x, int& y) {
  if (!owner || !owner->shown()) return false;
  // Where the server put it: a window manager may have moved it since FLTK placed it.
  ::Window child = 0;
  return XTranslateCoordinates(fl_display, fl_xid(owner), RootWindow(fl_display, fl_screen), 0, 0, &x, &y, &child);
}

}  // namespace

void PlaceCentredOver(Fl_Window& window, Fl_Window* owner) {
  int ownerX = 0, ownerY = 0;
  const bool overOwner = OwnerOnScreen(owner, ownerX, ownerY);
  int x = overOwner ? ownerX + (owner->w() - window.w()) / 2 : Fl::x() + (Fl::w() - window.w()) / 2;
  int y = overOwner ? ownerY + (owner->h() - window.h()) / 2 : Fl::y() + (Fl::h() - window.h()) / 2;
  x = std::max(Fl::x(), std::min(x, Fl::x() + Fl::w() - window.w()));
  y = std::max(Fl::y(), std::min(y, Fl::y() + Fl::h() - window.h()));
  window.position(x, y);
}

}  // namespace afx
