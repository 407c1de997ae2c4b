#pragma once

#include "afxdisplay.h"

class Fl_Window;

namespace afx {

// A modal message box on screen: its icon, text and buttons; timers keep
// ticking while it is up. It opens centred over `owner` (null: the screen).
// Returns the button that closed it.
int RunMessageBoxWindow(const AfxMessageBoxRecord& box, Fl_Window* owner);

}  // namespace afx
