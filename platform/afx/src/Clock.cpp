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
  if (useVirtual == m_virtual) return;
  if (useVirtual) m_virtualNow = RealNow();
  m_virtual = useVirtual;
}

ULONGLONG Clock::Now() const { return m_virtual ? m_virtualNow : RealNow(); }

void Clock::AdvanceTo(ULONGLONG milliseconds) {
  if (m_virtual && milliseconds > m_virtualNow) m_virtualNow = milliseconds;
}

}  // namespace afx
