#include <algorithm>
#include <cstdio>

#include "afxdisplay.h"

namespace {

AfxDisplay* g_display = nullptr;

std::function<void(const AfxMessageBoxRecord&)>& Listener() {
  static std::function<void(const AfxMessageBoxRecord&)> listener;
  return listener;
}

}  // namespace

AfxDisplay::~AfxDisplay() {
  if (g_display == this) g_display = nullptr;
}

bool AfxDisplay::RunModalStep(HWND dialog) { return RunModalDriver(dialog); }

int AfxDisplay::TakeMessageBoxAnswer(UINT type) {
  int answer = AfxMessageBoxDefaultAnswer(type);
  if (answers_.empty()) return answer;
  const int queued = answers_.front();
  answers_.pop_front();
  std::vector<int> buttons = AfxMessageBoxButtons(type);
  if (std::find(buttons.begin(), buttons.end(), queued) != buttons.end()) answer = queued;
  return answer;
}

bool AfxDisplay::TakeFileDialogAnswer(std::string& path) {
  if (fileAnswers_.empty()) return false;
  path = fileAnswers_.front();
  fileAnswers_.pop_front();
  return true;
}

bool AfxDisplay::ShowFileDialog(AfxFileDialogRecord& dialog) {
  if (!TakeFileDialogAnswer(dialog.answer)) dialog.answer.clear();
  return !dialog.answer.empty();
}

std::vector<int> AfxMessageBoxButtons(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    case MB_CANCELTRYCONTINUE: return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
    default: return {IDOK};
  }
}

int AfxMessageBoxDefaultAnswer(UINT type) {
  std::vector<int> buttons = AfxMessageBoxButtons(type);
  std::size_t index = (type & MB_DEFMASK) >> 8;
  return buttons[index < buttons.size() ? index : 0];
}

AfxHeadlessDisplay& AfxGetHeadlessDisplay() {
  static AfxHeadlessDisplay display;
  return display;
}

void AfxSetDisplay(AfxDisplay* display) { g_display = display; }

AfxDisplay& AfxGetDisplay() { return g_display ? *g_display : AfxGetHeadlessDisplay(); }

void AfxSetMessageBoxListener(std::function<void(const AfxMessageBoxRecord&)> listener) {
  Listener() = std::move(listener);
}

void AfxEchoMessageBoxesToStandardError() {
  AfxSetMessageBoxListener([](const AfxMessageBoxRecord& box) {
    std::fprintf(stderr, "[%s] %s\n", box.caption.c_str(), box.text.c_str());
    std::fflush(stderr);
  });
}

extern "C" int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  AfxMessageBoxRecord box;
  box.owner = hWnd;
  box.caption = lpCaption ? lpCaption : "Error";
  box.text = lpText ? lpText : "";
  box.type = uType;
  if (Listener()) {
    // Copied: the listener may replace itself.
    auto listener = Listener();
    listener(box);
  }
  int answer = AfxGetDisplay().ShowMessageBox(box);
  std::vector<int> buttons = AfxMessageBoxButtons(uType);
  if (std::find(buttons.begin(), buttons.end(), answer) == buttons.end()) answer = AfxMessageBoxDefaultAnswer(uType);
  return answer;
}
