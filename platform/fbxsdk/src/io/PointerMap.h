// A map from object addresses to small values, for bookkeeping over every object of a scene:
// open addressing in one array, so a scene of many materials costs no allocation per object.
// Entries are never removed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace fbxsdk::io {

template <class Value>
class PointerMap {
public:
  // The value kept for key, after storing value there when the key was absent; second tells
  // whether it was. A null key is never stored.
  std::pair<Value*, bool> Insert(const void* key, Value value) {
    if (!key) return {nullptr, false};
    if ((size_ + 1) * 4 > slots_.size() * 3) Grow();
    Slot& slot = SlotOf(key);
    if (slot.key) return {&slot.value, false};
    slot = {key, std::move(value)};
    ++size_;
    return {&slot.value, true};
  }

  Value* Find(const void* key) {
    if (!key || slots_.empty()) return nullptr;
    Slot& slot = SlotOf(key);
    return slot.key ? &slot.value : nullptr;
  }

  size_t Size() const { return size_; }

  // Room for count entries without growing.
  void Reserve(size_t count) {
    while (count * 4 > slots_.size() * 3) Grow();
  }

private:
  struct Slot {
    const void* key = nullptr;
    Value value{};
  };

  // Where key is, or the empty slot where it belongs.
  Slot& SlotOf(const void* key) {
    const size_t mask = slots_.size() - 1;
    // Objects are aligned, so their low bits say little: the top bits of the address times the
    // golden ratio pick the slot.
    size_t i = static_cast<size_t>((static_cast<uint64_t>(reinterpret_cast<uintptr_t>(key)) * 0x9E3779B97F4A7C15ull) >>
                                   shift_);
    while (slots_[i].key && slots_[i].key != key) i = (i + 1) & mask;
    return slots_[i];
  }

  void Grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 16 : old.size() * 2, Slot());
    shift_ = 64;
    for (size_t n = slots_.size(); n > 1; n >>= 1) --shift_;
    for (Slot& slot : old)
      if (slot.key) SlotOf(slot.key) = std::move(slot);
  }

  std::vector<Slot> slots_;  // a power of two of them, at most three quarters used
  size_t size_ = 0;
  unsigned shift_ = 64;  // 64 less the number of bits of a slot's index
};

}  // namespace fbxsdk::io
