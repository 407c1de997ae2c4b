#include <algorithm>
#include <chrono>
#include <thread>

#include "afxdisplay.h"

int AfxHeadlessDisplay::ShowMessageBox(const AfxMessageBoxRecord& box) {
  const int answer = TakeMessageBoxAnswer(box.type);
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
