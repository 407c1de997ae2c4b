// The library's side of the allocation test seam (fbxsdk/fbxtestseam.h).
#pragma once

namespace fbxsdk {

// Counts one allocation; true when the test seam wants it to fail.
bool AllocationFails();
// Counts one allocation and throws std::bad_alloc when the test seam wants it to fail.
void CountAllocation();

}  // namespace fbxsdk
