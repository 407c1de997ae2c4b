#include "HostTimer.h"

#include <map>

namespace {

// Window-less timers carry no data of their own: their id finds the object.
std::map<UINT_PTR, HostTimer*>& Running() {
  static std::map<UINT_PTR, HostTimer*> running;
  return running;
}

}  // namespace

HostTimer::HostTimer(unsigned milliseconds, std::function<void()> tick) : tick_(std::move(tick)) {
  id_ = ::SetTimer(nullptr, 0, milliseconds, &HostTimer::OnTick);
  if (id_) Running()[id_] = this;
}

HostTimer::~HostTimer() {
  if (!id_) return;
  ::KillTimer(nullptr, id_);
  Running().erase(id_);
}

void CALLBACK HostTimer::OnTick(HWND, UINT, UINT_PTR id, DWORD) {
  auto found = Running().find(id);
  if (found == Running().end()) return;
  HostTimer& timer = *found->second;
  if (timer.ticking_ || !timer.tick_) return;
  timer.ticking_ = true;
  timer.tick_();
  timer.ticking_ = false;
}
