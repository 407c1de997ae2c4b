#pragma once

// The on-screen display: the framework's dialogs, message boxes and file
// dialogs as FLTK windows, for people. Host side; plug-ins never see it.
#include <map>
#include <memory>
#include <string>

#include "FileChooser.h"
#include "afxdisplay.h"

class Fl_Window;

namespace afx {
class DialogView;
}

// A text as FLTK menus and choices show it literally: FLTK reads '/', '\\', '_'
// and '&' in menu texts, so those are escaped.
std::string AfxFltkMenuText(const std::string& text);

class AfxFltkDisplay : public AfxDisplay {
public:
  AfxFltkDisplay();
  ~AfxFltkDisplay() override;
  AfxFltkDisplay(const AfxFltkDisplay&) = delete;
  AfxFltkDisplay& operator=(const AfxFltkDisplay&) = delete;

  // Connects to the window system; false with the reason when there is none.
  static bool OpenDisplay(std::string& problem);

  // While a modal driver runs a script, boxes take the queued answer or their
  // default button at once (they are still reported to the listener) and file
  // dialogs take the queued answer or cancel, so a script never waits for a person.
  int ShowMessageBox(const AfxMessageBoxRecord& box) override;
  void WaitForEvents(int milliseconds) override;
  bool RunModalStep(HWND dialog) override;
  bool ShowFileDialog(AfxFileDialogRecord& dialog) override;

  // Brings the on-screen windows of the running dialogs up to date.
  void Refresh();
  // The on-screen face of a window the host made itself (its main window), so
  // that dialogs it owns open centred over it; null forgets it.
  void SetHostWindow(HWND window, Fl_Window* face);
  // Where file dialogs start when neither their file name nor an earlier
  // answer names a folder: the user's documents.
  void SetDocumentsFolder(const std::string& folder) { chooserFolders_.documents = folder; }
  // Writes a PNG of a dialog's window (or, for null, of `fallback`).
  bool Screenshot(HWND dialog, Fl_Window* fallback, const std::string& path, std::string& problem);

private:
  // Where a dialog's owner is on screen: a dialog below it, or a host window.
  Fl_Window* OwnerFace(HWND dialog) const;
  // The on-screen face of a window: a dialog's or a host window's; null for none.
  Fl_Window* FaceOf(HWND window) const;
  // What a message box or file dialog of `owner` opens over: the owner, else
  // the running dialog, else the host's window.
  Fl_Window* ParentFace(HWND owner) const;

  std::map<HWND, std::unique_ptr<afx::DialogView>> views_;
  std::map<HWND, Fl_Window*> hostWindows_;
  afx::FileChooserFolders chooserFolders_;
};
