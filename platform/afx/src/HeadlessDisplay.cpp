#include <algorithm>
#include <chrono>
#include <thread>

#include "afxdisplay.h"

int AfxHeadlessDisplay::ShowMessageBox(const AfxMessageBoxRecord& box) {
  std::vector<int> buttons = AfxMessageBoxButtons(box.type);
  int answer = AfxMessageBoxDefaultAnswer(box.type);
  if (!m_answers.empty()) {
    int queued = m_answers.front();
    m_answers.pop_front();
    // A scripted answer the box cannot give is a script error, not a crash.
    if (std::find(buttons.begin(), buttons.end(), queued) != buttons.end()) answer = queued;
  }
  m_boxes.push_back(box);
  m_boxes.back().answer = answer;
  return answer;
}

void AfxHeadlessDisplay::WaitForEvents(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
