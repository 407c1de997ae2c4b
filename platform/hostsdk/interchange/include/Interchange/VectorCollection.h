#pragma once

#include <cstdint>

#include "Interchange/IEArray.h"

struct IEVector {
  float x;
  float y;
  float z;
};

// A node of the host's vector lookup chains; its first 8 bytes link to the next.
struct VectorChainNode {
  VectorChainNode* next;
  std::int32_t vectorIndex;
};

// A list of 3D vectors with the host's lookup table (56 bytes, polymorphic).
class VectorCollection {
public:
  VectorCollection();
  virtual ~VectorCollection();
  VectorCollection(const VectorCollection&) = delete;
  VectorCollection& operator=(const VectorCollection&) = delete;

  // Empties the lookup chains and the vector list; the bucket storage stays.
  void Clear();

  IEArray<VectorChainNode*> buckets{0};
  IEArray<IEVector> vectors{1000};
};
