#pragma once

#include "afxdisplay.h"

namespace afx {

// A modal message box on screen: its icon, text and buttons; timers keep
// ticking while it is up. Returns the button that closed it.
int RunMessageBoxWindow(const AfxMessageBoxRecord& box);

}  // namespace afx
