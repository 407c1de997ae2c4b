#pragma once

class Fl_Window;

namespace afx {

// Places a window that is not shown yet centred over its owner where the
// window manager put the owner, else centred on the screen; either way wholly
// on the screen.
void PlaceCentredOver(Fl_Window& window, Fl_Window* owner);

}  // namespace afx
