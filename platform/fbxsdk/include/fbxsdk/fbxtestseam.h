// A test seam, not part of the FBX SDK's interface: it counts the library's
// allocations (objects made through the manager, string text, FbxMalloc) and
// makes a chosen one fail as if memory had run out: an object or a string
// throws std::bad_alloc, FbxMalloc returns null.
#pragma once

#include "fbxsdk/fbxdefs.h"

namespace fbxsdk {

// The nth allocation from now fails (1: the next one); 0 fails none. The count restarts.
FBXSDK_DLL void FbxTestFailAllocation(long long nth);
// The allocations made since the last FbxTestFailAllocation.
FBXSDK_DLL long long FbxTestAllocationCount();

}  // namespace fbxsdk
