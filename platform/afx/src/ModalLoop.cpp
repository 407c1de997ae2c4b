#include "ModalLoop.h"

#include <algorithm>

#include "TimerQueue.h"
#include "WindowTable.h"
#include "afxdisplay.h"

namespace afx {

bool RunModalLoop(HWND dialog, const std::function<bool()>& ended) {
  std::vector<HWND>& modal = WindowTable::Instance().ModalWindows();
  modal.push_back(dialog);
  bool endedNormally = true;
  while (!ended()) {
    TimerQueue::Instance().DeliverDue();
    if (ended()) break;
    if (!AfxGetDisplay().RunModalStep(dialog)) {
      ::SendMessageA(dialog, WM_CLOSE, 0, 0);
      endedNormally = ended();
      break;
    }
  }
  // Erased by value: a nested loop may have come and gone meanwhile.
  auto& windows = WindowTable::Instance().ModalWindows();
  windows.erase(std::remove(windows.begin(), windows.end(), dialog), windows.end());
  return endedNormally;
}

}  // namespace afx
