// The library's entry points run their work through the platform's one guard
// (common/EntryGuard.h); this says in the status what ended the work.
#pragma once

#include <common/EntryGuard.h>

#include "fbxsdk/fbxstatus.h"

namespace fbxsdk {

// For GuardedEntry: an exception becomes a failure status. action says what
// was being done ("read", "write") and path to what; both must outlive the call.
inline auto StatusOnFailure(FbxStatus& status, const char* action, const char* path) {
  return [&status, action, path](EntryFailure failure, const char* what) {
    if (failure == EntryFailure::OutOfMemory)
      status.SetCode(FbxStatus::eInsufficientMemory, "Not enough memory to %s '%s'", action, path);
    else if (what)
      status.SetCode(FbxStatus::eFailure, "Could not %s '%s': %s", action, path, what);
    else
      status.SetCode(FbxStatus::eFailure, "Could not %s '%s'", action, path);
  };
}

}  // namespace fbxsdk
