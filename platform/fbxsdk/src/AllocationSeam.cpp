#include "AllocationSeam.h"

#include <new>

#include "fbxsdk/fbxtestseam.h"

namespace fbxsdk {

namespace {
// The library runs on its caller's one thread, as the SDK requires.
long long allocations = 0;
long long failing = 0;  // 0: none
}  // namespace

void FbxTestFailAllocation(long long nth) {
  allocations = 0;
  failing = nth;
}

long long FbxTestAllocationCount() { return allocations; }

bool AllocationFails() { return ++allocations == failing; }

void CountAllocation() {
  if (AllocationFails()) throw std::bad_alloc();
}

}  // namespace fbxsdk
