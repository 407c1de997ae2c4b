#include <FL/Fl.H>
#include <FL/x.H>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "DialogFont.h"
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
constexpr int kConnectAttempts = 5;

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
  // Connected by hand and handed to FLTK, which would exit the process when it
  // cannot connect. A busy server now and then resets a new connection: a few tries.
  Display* display = nullptr;
  for (int attempt = 0; attempt < kConnectAttempts && !display; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    display = XOpenDisplay(name);
  }
  if (!display) {
    problem = std::string("cannot open display '") + name + "'";
    return false;
  }
  fl_open_display(display);
  afx::LoadDialogFont();
  Fl::scheme("gtk+");
  Fl::visual(FL_DOUBLE | FL_INDEX);
  return true;
}

int AfxFltkDisplay::ShowMessageBox(const AfxMessageBoxRecord& box) {
  if (HasModalDriver() || QueuedAnswerCount() > 0) return TakeMessageBoxAnswer(box.type);
  Refresh();
  return afx::RunMessageBoxWindow(box, ParentFace(box.owner));
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
  Refresh();
  return afx::RunFileChooser(dialog, ParentFace(dialog.owner), chooserFolders_);
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
    if (!view) view = std::make_unique<afx::DialogView>(dialog, OwnerFace(dialog));
    view->Sync();
  }
}

void AfxFltkDisplay::SetHostWindow(HWND window, Fl_Window* face) {
  if (face) {
    hostWindows_[window] = face;
  } else {
    hostWindows_.erase(window);
  }
}

Fl_Window* AfxFltkDisplay::OwnerFace(HWND dialog) const { return FaceOf(::GetParent(dialog)); }

Fl_Window* AfxFltkDisplay::FaceOf(HWND window) const {
  if (!window) return nullptr;
  if (auto view = views_.find(window); view != views_.end() && view->second) return view->second->Window();
  auto host = hostWindows_.find(window);
  return host == hostWindows_.end() ? nullptr : host->second;
}

Fl_Window* AfxFltkDisplay::ParentFace(HWND owner) const {
  if (Fl_Window* face = FaceOf(owner)) return face;
  if (Fl_Window* face = FaceOf(AfxGetActiveModalWindow())) return face;
  return hostWindows_.empty() ? nullptr : hostWindows_.begin()->second;
}

bool AfxFltkDisplay::Screenshot(HWND dialog, Fl_Window* fallback, const std::string& path, std::string& problem) {
  Refresh();
  Fl_Window* window = fallback;
  if (dialog) {
    auto found = views_.find(dialog);
    window = found == views_.end() ? nullptr : found->second->Window();
  }
  return afx::WriteWindowPng(window, path, problem);
}
