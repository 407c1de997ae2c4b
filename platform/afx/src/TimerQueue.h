#pragma once

#include <functional>
#include <map>
#include <utility>

#include <windows.h>

// The UI thread's timers. A timer is keyed by its window and id (window-less
// timers by a null window and a framework-chosen id). Internal to the framework.
namespace afx {

class TimerQueue {
public:
  static TimerQueue& Instance();

  UINT_PTR Set(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc);
  bool Kill(HWND window, UINT_PTR id);
  void KillTimersOfWindow(HWND window);
  // Drops timers whose procedure lies in the module loaded at `moduleBase`.
  void KillTimersInModule(const void* moduleBase);

  // Ticks every timer that was due at the start of the call once; returns
  // how many ticked.
  int DeliverDue();
  // When the next tick is due; false when no timer runs.
  bool NextDue(ULONGLONG& due) const;
  int Count() const { return static_cast<int>(timers_.size()); }
  void SetTickHook(std::function<void(TIMERPROC, bool)> hook) { tickHook_ = std::move(hook); }

private:
  struct Timer {
    UINT elapse;
    TIMERPROC proc;
    ULONGLONG due;
    unsigned long long sequence;  // orders timers due at the same moment
  };
  using Key = std::pair<HWND, UINT_PTR>;

  UINT_PTR NewWindowlessId() const;

  std::map<Key, Timer> timers_;
  std::function<void(TIMERPROC, bool)> tickHook_;
  UINT_PTR lastWindowlessId_ = 0;
  unsigned long long sequence_ = 0;
};

}  // namespace afx
