#include "ModalWait.h"

#include <FL/Fl.H>

#include <algorithm>

#include "afxhost.h"

namespace afx {

namespace {
constexpr double kLongestWait = 0.1;  // seconds: the loop notices closed windows promptly
}

void PumpOnce() {
  AfxProcessDueTimers();
  const long long untilTimer = AfxMillisecondsUntilNextTimer();
  const double wait = untilTimer < 0 ? kLongestWait : std::min(kLongestWait, untilTimer / 1000.0);
  Fl::wait(wait);
}

void WaitWhileTimersTick(const std::function<bool()>& done) {
  while (!done()) PumpOnce();
}

}  // namespace afx
