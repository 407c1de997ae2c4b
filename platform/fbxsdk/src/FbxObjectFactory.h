// Defines the two Create factories of a class the manager owns.
#pragma once

#include "AllocationSeam.h"
#include "fbxsdk/fbxmanager.h"

#define FBXSDK_DEFINE_FACTORY(ClassName)                                   \
  ClassName* ClassName::Create(FbxManager* manager, const char* name) {    \
    if (!manager) return nullptr;                                          \
    CountAllocation();                                                     \
    return manager->Adopt(new ClassName(*manager, name));                  \
  }                                                                        \
  ClassName* ClassName::Create(FbxObject* container, const char* name) {   \
    return container ? Create(container->GetFbxManager(), name) : nullptr; \
  }
