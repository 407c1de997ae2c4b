#include "Clock.h"

#include <chrono>

namespace afx {

namespace {
const auto g_start = std::chrono::steady_clock::now();
}

Clock& Clock::Instance() {
  static Clock clock;
  return clock;
}

ULONGLONG Clock::RealNow() const {
  return static_cast<ULONGLONG>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - g_start).count());
}

void Clock::UseVirtual(bool useVirtual) {
  if (useVirtual == virtual_) return;
  if (useVirtual) virtualNow_ = RealNow();
  virtual_ = useVirtual;
}

ULONGLONG Clock::Now() const { return virtual_ ? virtualNow_ : RealNow(); }

void Clock::AdvanceTo(ULONGLONG milliseconds) {
  if (virtual_ && milliseconds > virtualNow_) virtualNow_ = milliseconds;
}

}  // namespace afx
