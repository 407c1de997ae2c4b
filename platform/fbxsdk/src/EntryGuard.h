// The one guard at the library's entry points: no exception leaves the library, whatever
// happens inside; it becomes a failure status like any other.
#pragma once

#include <exception>
#include <new>

#include "fbxsdk/fbxstatus.h"

namespace fbxsdk {

// Runs work (returning bool); an exception sets status and returns false. action says what was
// being done ("read", "write") and path to what.
template <class Work>
bool Guarded(FbxStatus& status, const char* action, const char* path, Work&& work) {
  try {
    return work();
  } catch (const std::bad_alloc&) {
    status.SetCode(FbxStatus::eInsufficientMemory, "Not enough memory to %s '%s'", action, path);
  } catch (const std::exception& e) {
    status.SetCode(FbxStatus::eFailure, "Could not %s '%s': %s", action, path, e.what());
  } catch (...) {
    status.SetCode(FbxStatus::eFailure, "Could not %s '%s'", action, path);
  }
  return false;
}

}  // namespace fbxsdk
