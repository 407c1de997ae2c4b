#include <algorithm>
#include <limits>

#include "Clock.h"
#include "TimerQueue.h"
#include "afxhost.h"
#include "common/EntryGuard.h"

using afx::Clock;
using afx::TimerQueue;

namespace {

// Waits (or jumps, under the virtual clock) until the next tick is due or
// `until` comes, whichever is first; returns at once when a tick is overdue.
void WaitForNextTick(ULONGLONG until) {
  Clock& clock = Clock::Instance();
  ULONGLONG now = clock.Now();
  if (now >= until) return;
  ULONGLONG next = until;
  ULONGLONG due = 0;
  if (TimerQueue::Instance().NextDue(due)) next = std::min(next, std::max(due, now));
  if (next <= now) return;
  if (clock.IsVirtual()) {
    clock.AdvanceTo(next);
  } else {
    ULONGLONG wait = std::min<ULONGLONG>(next - now, static_cast<ULONGLONG>(std::numeric_limits<int>::max()));
    AfxGetDisplay().WaitForEvents(static_cast<int>(wait));
  }
}

ULONGLONG Deadline(ULONGLONG milliseconds) {
  ULONGLONG now = Clock::Instance().Now();
  return milliseconds > std::numeric_limits<ULONGLONG>::max() - now ? std::numeric_limits<ULONGLONG>::max()
                                                                    : now + milliseconds;
}

}  // namespace

void AfxUseVirtualClock(bool useVirtual) { Clock::Instance().UseVirtual(useVirtual); }

bool AfxIsVirtualClock() { return Clock::Instance().IsVirtual(); }

ULONGLONG AfxClockMilliseconds() { return Clock::Instance().Now(); }

void AfxRunMessageLoop(ULONGLONG milliseconds) {
  const ULONGLONG until = Deadline(milliseconds);
  for (;;) {
    TimerQueue::Instance().DeliverDue();  // ticks due exactly at the end belong to this run too
    if (Clock::Instance().Now() >= until) return;
    WaitForNextTick(until);
  }
}

bool AfxRunMessageLoopUntil(const std::function<bool()>& done, ULONGLONG limitMilliseconds) {
  const ULONGLONG until = Deadline(limitMilliseconds);
  for (;;) {
    if (done && done()) return true;
    if (Clock::Instance().Now() >= until) return false;
    if (Clock::Instance().IsVirtual() && TimerQueue::Instance().Count() == 0) return false;
    WaitForNextTick(until);
    TimerQueue::Instance().DeliverDue();
  }
}

int AfxProcessDueTimers() { return TimerQueue::Instance().DeliverDue(); }

void AfxSetTimerTickHook(std::function<void(TIMERPROC, bool)> hook) {
  TimerQueue::Instance().SetTickHook(std::move(hook));
}

int AfxActiveTimerCount() { return TimerQueue::Instance().Count(); }

long long AfxMillisecondsUntilNextTimer() {
  ULONGLONG due = 0;
  if (!TimerQueue::Instance().NextDue(due)) return -1;
  ULONGLONG now = Clock::Instance().Now();
  return due <= now ? 0 : static_cast<long long>(due - now);
}

extern "C" {

// 0, as on Windows, when the timer could not be made.
UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
  return GuardedEntry(UINT_PTR{0}, [&] { return TimerQueue::Instance().Set(hWnd, nIDEvent, uElapse, lpTimerFunc); });
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
  return GuardedEntry(BOOL{FALSE}, [&] { return TimerQueue::Instance().Kill(hWnd, uIDEvent); });
}

DWORD WINAPI GetTickCount(void) { return static_cast<DWORD>(Clock::Instance().Now()); }

}  // extern "C"
