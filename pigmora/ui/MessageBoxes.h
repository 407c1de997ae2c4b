#pragma once

#include <afxwin.h>

namespace pigmora {

// The plug-in's two boxes. A null owner shows the box without an owner window.
// An error box carries the error icon; an info box has none.
void ShowErrorBox(HWND owner, const char* caption, const char* text);
void ShowInfoBox(HWND owner, const char* caption, const char* text);

// The window the UI thread reports (the running applink dialog, else the
// host's main window); null when there is none.
HWND ThreadMainWindow();

}  // namespace pigmora
