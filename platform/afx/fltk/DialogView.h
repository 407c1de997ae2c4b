#pragma once

#include <map>
#include <memory>
#include <string>

#include <FL/Fl_Double_Window.H>

#include <windows.h>

class Fl_Widget;
class Fl_Window;

namespace afx {

// The on-screen face of one top-level dialog: an FLTK window with a widget per
// control, laid out in the control's pixels. The window system stays the one
// truth: Sync brings widgets up to date, and widgets hand what the user does
// to the window system's user-input calls, which notify the dialog.
class DialogView {
public:
  // `owner` is the on-screen window the dialog opens centred over; null for the screen.
  DialogView(HWND dialog, Fl_Window* owner);
  ~DialogView();
  DialogView(const DialogView&) = delete;
  DialogView& operator=(const DialogView&) = delete;

  void Sync();
  Fl_Double_Window* Window() const { return window_.get(); }

private:
  struct Item {
    Fl_Widget* widget = nullptr;
    std::string state;  // what the widget shows, to redraw only on change
  };

  void SyncControl(HWND control, int x, int y);

  HWND dialog_;
  Fl_Window* owner_;
  std::unique_ptr<Fl_Double_Window> window_;
  std::map<HWND, Item> items_;
};

}  // namespace afx
