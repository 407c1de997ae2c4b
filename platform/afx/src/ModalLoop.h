#pragma once

#include <functional>

#include <windows.h>

namespace afx {

// Runs a modal loop for `dialog` until `ended` says so: timers tick between
// the display's input steps. When the display has no more input the dialog
// gets WM_CLOSE; false when even that did not end it.
bool RunModalLoop(HWND dialog, const std::function<bool()>& ended);

}  // namespace afx
