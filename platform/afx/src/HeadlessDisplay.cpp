#include <algorithm>
#include <chrono>
#include <thread>

#include "afxdisplay.h"

int AfxHeadlessDisplay::ShowMessageBox(const AfxMessageBoxRecord& box) {
  std::vector<int> buttons = AfxMessageBoxButtons(box.type);
  int answer = AfxMessageBoxDefaultAnswer(box.type);
  if (!answers_.empty()) {
    int queued = answers_.front();
    answers_.pop_front();
    // A scripted answer the box cannot give is a script error, not a crash.
    if (std::find(buttons.begin(), buttons.end(), queued) != buttons.end()) answer = queued;
  }
  boxes_.push_back(box);
  boxes_.back().answer = answer;
  return answer;
}

void AfxHeadlessDisplay::WaitForEvents(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool AfxHeadlessDisplay::RunModalStep(HWND dialog) { return RunModalDriver(dialog); }

bool AfxHeadlessDisplay::ShowFileDialog(AfxFileDialogRecord& dialog) {
  if (!TakeFileDialogAnswer(dialog.answer)) dialog.answer.clear();
  fileDialogs_.push_back(dialog);
  return !dialog.answer.empty();
}
