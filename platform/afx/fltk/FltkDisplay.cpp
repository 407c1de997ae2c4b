#include <FL/Fl.H>
#include <FL/x.H>

#include <algorithm>
#include <cstdlib>

#include "DialogView.h"
#include "FileChooser.h"
#include "MessageBoxWindow.h"
#include "ModalWait.h"
#include "afxfltk.h"
#include "afxhost.h"

namespace afx {
bool WriteWindowPng(Fl_Window* window, const std::string& path, std::string& problem);
}

std::string AfxFltkMenuText(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '/' || c == '\\' || c == '_') escaped += '\\';
    if (c == '&') escaped += '&';
    escaped += c;
  }
  return escaped;
}

namespace {

constexpr double kTimerPollSeconds = 0.05;

// FLTK runs loops of its own (menus, for one); the framework's timers tick in
// those too, from an FLTK timeout.
void TickFrameworkTimers(void*) {
  AfxProcessDueTimers();
  Fl::repeat_timeout(kTimerPollSeconds, TickFrameworkTimers);
}

}  // namespace

AfxFltkDisplay::AfxFltkDisplay() { Fl::add_timeout(kTimerPollSeconds, TickFrameworkTimers); }

AfxFltkDisplay::~AfxFltkDisplay() { Fl::remove_timeout(TickFrameworkTimers); }

bool AfxFltkDisplay::OpenDisplay(std::string& problem) {
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) {
    problem = "no display (DISPLAY is not set)";
    return false;
  }
  // Asked first by hand: FLTK itself exits the process when it cannot connect.
  Display* probe = XOpenDisplay(name);
  if (!probe) {
    problem = std::string("cannot open display '") + name + "'";
    return false;
  }
  XCloseDisplay(probe);
  fl_open_display();
  Fl::scheme("gtk+");
  Fl::visual(FL_DOUBLE | FL_INDEX);
  return true;
}

int AfxFltkDisplay::ShowMessageBox(const AfxMessageBoxRecord& box) {
  if (HasModalDriver() || QueuedAnswerCount() > 0) return TakeMessageBoxAnswer(box.type);
  return afx::RunMessageBoxWindow(box);
}

void AfxFltkDisplay::WaitForEvents(int milliseconds) {
  Refresh();
  Fl::wait(std::max(milliseconds, 0) / 1000.0);
}

bool AfxFltkDisplay::RunModalStep(HWND dialog) {
  Refresh();
  if (HasModalDriver()) {
    Fl::check();
    const bool acted = RunModalDriver(dialog);
    Refresh();
    Fl::check();
    return acted;
  }
  afx::PumpOnce();
  return true;
}

bool AfxFltkDisplay::ShowFileDialog(AfxFileDialogRecord& dialog) {
  if (TakeFileDialogAnswer(dialog.answer)) return !dialog.answer.empty();
  if (HasModalDriver()) {
    dialog.answer.clear();
    return false;
  }
  return afx::RunFileChooser(dialog);
}

void AfxFltkDisplay::Refresh() {
  const std::vector<HWND> modal = AfxGetModalWindows();
  for (auto it = views_.begin(); it != views_.end();) {
    if (std::find(modal.begin(), modal.end(), it->first) == modal.end() || !::IsWindow(it->first)) {
      it = views_.erase(it);
    } else {
      ++it;
    }
  }
  for (HWND dialog : modal) {
    auto& view = views_[dialog];
    if (!view) view = std::make_unique<afx::DialogView>(dialog);
    view->Sync();
  }
}

bool AfxFltkDisplay::Screenshot(HWND dialog, Fl_Window* fallback, const std::string& path, std::string& problem) {
  Refresh();
  Fl_Window* window = fallback;
  if (dialog) {
    auto found = views_.find(dialog);
    window = found == views_.end() ? nullptr : found->second->Window();
  }
  // Let the window system map and draw the window first.
  for (int i = 0; i < 20 && window && !window->visible(); ++i) Fl::wait(0.05);
  Fl::check();
  return afx::WriteWindowPng(window, path, problem);
}
