#include "ui/MessageBoxes.h"

namespace pigmora {

void ShowErrorBox(HWND owner, const char* caption, const char* text) {
  MessageBoxA(owner, text, caption, MB_OK | MB_ICONERROR);
}

void ShowInfoBox(HWND owner, const char* caption, const char* text) { MessageBoxA(owner, text, caption, MB_OK); }

HWND ThreadMainWindow() {
  CWinThread* thread = AfxGetThread();
  CWnd* window = thread ? thread->GetMainWnd() : nullptr;
  return window ? window->GetSafeHwnd() : nullptr;
}

}  // namespace pigmora
