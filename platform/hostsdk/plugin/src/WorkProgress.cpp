#include "WorkProgress.h"

#include <algorithm>

#include "common/EntryGuard.h"

namespace {

ObjImportProgress& Listener() {
  static ObjImportProgress listener;
  return listener;
}

}  // namespace

WorkProgress::WorkProgress(const ObjImportProgress& progress, const char* stage, std::size_t total)
    : progress_(progress), stage_(stage), total_(total), lastTold_(std::chrono::steady_clock::now()) {
  if (progress_) progress_(stage_, total_ > 0 ? 0 : -1);
}

void WorkProgress::Look(std::size_t done) {
  const auto now = std::chrono::steady_clock::now();
  if (now - lastTold_ < kWorkProgressInterval) return;
  lastTold_ = now;
  progress_(stage_, total_ > 0 ? static_cast<int>(std::min(done, total_) * 100 / total_) : -1);
}

const ObjImportProgress& LongWorkListener() { return Listener(); }

void SetLongWorkListener(ObjImportProgress listener) {
  GuardedEntry([&] { Listener() = std::move(listener); });
}
