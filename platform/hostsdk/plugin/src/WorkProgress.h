#pragma once

#include <chrono>
#include <cstddef>

#include "Plugin/HostProject.h"

// How often long work tells its progress.
inline constexpr std::chrono::milliseconds kWorkProgressInterval{100};

// Tells `progress` how far a long loop is: once when it starts, then with
// the share done at most every tenth of a second. The clock is read only
// every few thousand steps, so that telling never slows the loop.
class WorkProgress {
public:
  // `total` steps; 0 when the share cannot be known (told as -1).
  WorkProgress(const ObjImportProgress& progress, const char* stage, std::size_t total = 0);
  void Step(std::size_t done) {
    if (progress_ && done % kStepsBetweenLooks == 0) Look(done);
  }

private:
  static constexpr std::size_t kStepsBetweenLooks = 4096;
  void Look(std::size_t done);

  const ObjImportProgress& progress_;
  const char* stage_;
  std::size_t total_;
  std::chrono::steady_clock::time_point lastTold_;
};

// The host's listener for its own long conversions that plug-ins call; empty when none.
const ObjImportProgress& LongWorkListener();
