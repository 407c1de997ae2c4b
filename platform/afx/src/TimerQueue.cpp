#include "TimerQueue.h"

#include <algorithm>
#include <string>
#include <vector>

#include <common/OsModules.h>

#include "Clock.h"
#include "WindowTable.h"

namespace afx {

TimerQueue& TimerQueue::Instance() {
  static TimerQueue queue;
  return queue;
}

UINT_PTR TimerQueue::NewWindowlessId() const {
  UINT_PTR id = lastWindowlessId_;
  do {
    id = (id >= 0x7FFFFFFF) ? 1 : id + 1;
  } while (timers_.count({nullptr, id}));
  return id;
}

UINT_PTR TimerQueue::Set(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  if (window && !WindowTable::Instance().Exists(window)) return 0;
  if (!window && !proc) return 0;  // nobody to tick
  if (!window && !timers_.count({nullptr, id})) {
    id = NewWindowlessId();
    lastWindowlessId_ = id;
  }
  if (elapse < USER_TIMER_MINIMUM) elapse = USER_TIMER_MINIMUM;
  if (elapse > USER_TIMER_MAXIMUM) elapse = USER_TIMER_MAXIMUM;
  timers_[{window, id}] = Timer{elapse, proc, Clock::Instance().Now() + elapse, ++sequence_};
  // A window's timer keeps the caller's id (0 included); success must still read non-zero.
  return window ? (id ? id : 1) : id;
}

bool TimerQueue::Kill(HWND window, UINT_PTR id) { return timers_.erase({window, id}) > 0; }

void TimerQueue::KillTimersOfWindow(HWND window) {
  for (auto it = timers_.begin(); it != timers_.end();)
    it = it->first.first == window ? timers_.erase(it) : std::next(it);
}

void TimerQueue::KillTimersInModule(const void* moduleBase) {
  for (auto it = timers_.begin(); it != timers_.end();) {
    const void* base = nullptr;
    std::string path;
    bool inModule = it->second.proc &&
                    os::ModuleOfAddress(reinterpret_cast<const void*>(it->second.proc), base, path) &&
                    base == moduleBase;
    it = inModule ? timers_.erase(it) : std::next(it);
  }
}

bool TimerQueue::NextDue(ULONGLONG& due) const {
  if (timers_.empty()) return false;
  due = timers_.begin()->second.due;
  for (const auto& [key, timer] : timers_)
    if (timer.due < due) due = timer.due;
  return true;
}

int TimerQueue::DeliverDue() {
  const ULONGLONG passTime = Clock::Instance().Now();
  // Who is due, decided up front: a tick that starts a nested loop, or sets
  // and kills timers, cannot make this pass tick anything twice.
  std::vector<std::pair<Key, unsigned long long>> due;
  for (const auto& [key, timer] : timers_)
    if (timer.due <= passTime) due.push_back({key, timer.sequence});
  std::sort(due.begin(), due.end(), [&](const auto& a, const auto& b) {
    const Timer& ta = timers_.at(a.first);
    const Timer& tb = timers_.at(b.first);
    return ta.due != tb.due ? ta.due < tb.due : ta.sequence < tb.sequence;
  });

  int delivered = 0;
  for (const auto& [key, sequence] : due) {
    auto it = timers_.find(key);
    // Killed or replaced by an earlier tick of this pass.
    if (it == timers_.end() || it->second.sequence != sequence || it->second.due > passTime) continue;
    Timer& timer = it->second;
    // Rearm before the tick, so a nested loop inside it does not tick it again.
    timer.due += timer.elapse;
    ULONGLONG now = Clock::Instance().Now();
    if (timer.due <= now) timer.due = now + timer.elapse;  // missed ticks merge into this one
    TIMERPROC proc = timer.proc;
    HWND window = key.first;
    UINT_PTR id = key.second;
    ++delivered;
    if (proc) {
      // Copied: the hook may be replaced during the tick.
      const std::function<void(TIMERPROC, bool)> hook = tickHook_;
      if (hook) hook(proc, true);
      proc(window, WM_TIMER, id, static_cast<DWORD>(now));
      if (hook) hook(proc, false);
    } else {
      WindowTable::Instance().Send(window, WM_TIMER, id, 0);
    }
  }
  return delivered;
}

}  // namespace afx
