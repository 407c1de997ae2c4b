#include "Interchange/VectorCollection.h"

VectorCollection::VectorCollection() = default;

VectorCollection::~VectorCollection() {
  Clear();
  vectors.Release();
  buckets.Release();
}

void VectorCollection::Clear() {
  for (std::int32_t i = 0; i < buckets.count; ++i) {
    VectorChainNode* node = buckets[i];
    while (node) {
      VectorChainNode* next = node->next;  // read before the node goes
      delete node;
      node = next;
    }
    buckets[i] = nullptr;
  }
  vectors.Release();
}
