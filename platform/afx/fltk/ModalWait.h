#pragma once

#include <functional>

namespace afx {

// Runs FLTK's event loop, ticking the framework's timers, until `done`.
void WaitWhileTimersTick(const std::function<bool()>& done);
// Handles the events and timers due now, or waits at most a short while for them.
void PumpOnce();

}  // namespace afx
