#pragma once

namespace pigmora {

// Every way the host calls into the plug-in (the three exports, the timer) runs
// through GuardedExport: the host knows only results, so an exception inside,
// such as memory running out, ends the call with 0 (nothing done) instead of
// unwinding into the host.
template <typename Body>
int GuardedExport(Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return 0;
  }
}

}  // namespace pigmora
