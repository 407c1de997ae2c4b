#pragma once

// Host side: where the framework shows things. A display is chosen by the
// host (headless for tests and scripts; an on-screen one for people); the
// framework itself never depends on which.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <windows.h>

struct AFX_API AfxMessageBoxRecord {
  HWND owner = nullptr;
  std::string caption;
  std::string text;
  UINT type = MB_OK;
  int answer = 0;  // the button that closed it; 0 while it is still up

  UINT Icon() const { return type & MB_ICONMASK; }
};

// A file dialog as the framework asks a display to show it.
struct AFX_API AfxFileDialogRecord {
  HWND owner = nullptr;
  bool open = true;  // an open dialog, else a save dialog
  std::string defaultExtension;
  std::string initialFileName;
  std::string filter;  // "Text|patterns|...||"
  DWORD flags = 0;
  std::string answer;  // the chosen path; empty when cancelled
};

// The buttons a box of this type offers, in order, and the one Enter presses.
AFX_API std::vector<int> AfxMessageBoxButtons(UINT type);
AFX_API int AfxMessageBoxDefaultAnswer(UINT type);

class AFX_API AfxDisplay {
public:
  virtual ~AfxDisplay();
  // Shows a modal message box and returns the button that closed it. An
  // on-screen display runs a modal loop meanwhile, in which timers tick.
  virtual int ShowMessageBox(const AfxMessageBoxRecord& box) = 0;
  // Waits up to `milliseconds` of real time for input; returns early when
  // something happened. Not called under the virtual clock.
  virtual void WaitForEvents(int milliseconds) = 0;
  // One step of a modal dialog's loop: waits for and handles the user's next
  // input (timers are ticked by the loop between steps). False when no input
  // will ever come; the loop then closes the dialog as its close box would.
  virtual bool RunModalStep(HWND dialog);
  // Shows a file dialog; true with the chosen path in `dialog.answer`, false
  // when the user cancelled.
  virtual bool ShowFileDialog(AfxFileDialogRecord& dialog);

  // Scripted input, for any display. The modal driver acts once for the
  // running dialog (clicks, lets time pass, ...) and returns true, or returns
  // false when it has nothing left to do; the dialog is then closed as by its
  // close box. An empty function removes it.
  void SetModalDriver(std::function<bool(HWND dialog)> driver) { driver_ = std::move(driver); }
  bool HasModalDriver() const { return static_cast<bool>(driver_); }
  // The button for the next message box (IDOK, IDYES, ...).
  void QueueMessageBoxAnswer(int answer) { answers_.push_back(answer); }
  std::size_t QueuedAnswerCount() const { return answers_.size(); }
  void ClearQueuedAnswers() { answers_.clear(); }
  // The answer for the next file dialog: a path, or "" for cancel.
  void QueueFileDialogAnswer(const std::string& path) { fileAnswers_.push_back(path); }
  std::size_t QueuedFileAnswerCount() const { return fileAnswers_.size(); }
  void ClearQueuedFileAnswers() { fileAnswers_.clear(); }

protected:
  bool RunModalDriver(HWND dialog) { return driver_ ? driver_(dialog) : false; }
  // The queued answer for this box when one is queued and the box has that
  // button (a scripted answer the box cannot give is not a crash), else its
  // default button. Takes the answer from the queue either way.
  int TakeMessageBoxAnswer(UINT type);
  // Takes the next queued file answer; false when none is queued.
  bool TakeFileDialogAnswer(std::string& path);

private:
  std::function<bool(HWND)> driver_;
  std::deque<int> answers_;
  std::deque<std::string> fileAnswers_;
};

// Keeps everything in memory. A message box is recorded and closed at once
// with the next queued answer, or the box's default button when none is
// queued or the queued one is not among its buttons; no time passes and no
// timer ticks while it is "up". A file dialog is recorded and answered with
// the next queued path (cancelled when none is queued). A modal dialog's input
// comes from the modal driver only.
class AFX_API AfxHeadlessDisplay : public AfxDisplay {
public:
  int ShowMessageBox(const AfxMessageBoxRecord& box) override;
  void WaitForEvents(int milliseconds) override;

  const std::vector<AfxMessageBoxRecord>& MessageBoxes() const { return boxes_; }
  void ClearMessageBoxes() { boxes_.clear(); }

  bool RunModalStep(HWND dialog) override;
  bool ShowFileDialog(AfxFileDialogRecord& dialog) override;
  const std::vector<AfxFileDialogRecord>& FileDialogs() const { return fileDialogs_; }
  void ClearFileDialogs() { fileDialogs_.clear(); }

private:
  std::vector<AfxMessageBoxRecord> boxes_;
  std::vector<AfxFileDialogRecord> fileDialogs_;
};

// The framework's own headless display, in use until another is set.
AFX_API AfxHeadlessDisplay& AfxGetHeadlessDisplay();
// Makes `display` current (the caller keeps ownership); null goes back to the
// headless one.
AFX_API void AfxSetDisplay(AfxDisplay* display);
AFX_API AfxDisplay& AfxGetDisplay();

// Called for every message box just before it is shown (answer still 0),
// whatever the display; an empty function removes the listener.
AFX_API void AfxSetMessageBoxListener(std::function<void(const AfxMessageBoxRecord&)> listener);
// A listener that prints each box to standard error as "[Caption] text".
AFX_API void AfxEchoMessageBoxesToStandardError();
