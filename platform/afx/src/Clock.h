#pragma once

#include <windows.h>

// The framework's time: real milliseconds since start, or a virtual count
// that only the message loop moves. Internal to the framework.
namespace afx {

class Clock {
public:
  static Clock& Instance();

  bool IsVirtual() const { return virtual_; }
  // Switching keeps the time continuous, so due ticks stay due.
  void UseVirtual(bool useVirtual);
  ULONGLONG Now() const;
  // Virtual clock only: moves time forward (never back).
  void AdvanceTo(ULONGLONG milliseconds);

private:
  ULONGLONG RealNow() const;

  bool virtual_ = false;
  ULONGLONG virtualNow_ = 0;
};

}  // namespace afx
