#pragma once

#include <functional>

#include <windows.h>

// A timer of the host's own: it ticks in whatever loop runs (a script's wait,
// the window's loop, a plug-in's dialog or message box), as the plug-ins'
// timers do, so what it keeps up to date never lags behind the project.
class HostTimer {
public:
  HostTimer(unsigned milliseconds, std::function<void()> tick);
  ~HostTimer();
  HostTimer(const HostTimer&) = delete;
  HostTimer& operator=(const HostTimer&) = delete;

private:
  static void CALLBACK OnTick(HWND window, UINT message, UINT_PTR id, DWORD time);

  UINT_PTR id_ = 0;
  std::function<void()> tick_;
  bool ticking_ = false;  // a tick that runs a loop does not tick again inside it
};
