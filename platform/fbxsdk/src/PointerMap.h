// A map from object addresses to small values, for bookkeeping over every object of a scene:
// open addressing in one array, so a scene of many materials costs no allocation per object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace fbxsdk {

template <class Value>
class PointerMap {
public:
  // The value kept for key, after storing value there when the key was absent; second tells
  // whether it was. A null key is never stored.
  std::pair<Value*, bool> Insert(const void* key, Value value) {
    if (!Storable(key)) return {nullptr, false};
    if ((size_ + removed_ + 1) * 4 > slots_.size() * 3) Grow();
    Slot& slot = SlotOf(key);
    if (slot.key) return {&slot.value, false};
    slot = {key, std::move(value)};
    ++size_;
    return {&slot.value, true};
  }

  Value* Find(const void* key) {
    if (!Storable(key) || slots_.empty()) return nullptr;
    Slot& slot = SlotOf(key);
    return slot.key ? &slot.value : nullptr;
  }
  bool Contains(const void* key) const { return const_cast<PointerMap*>(this)->Find(key) != nullptr; }

  // Forgets key; false when it was not there. Its slot stays marked until the table is rebuilt,
  // so that the keys stored past it are still found.
  bool Erase(const void* key) {
    if (!Find(key)) return false;
    Slot& slot = SlotOf(key);
    slot = {Removed(), Value()};
    --size_;
    ++removed_;
    return true;
  }

  size_t Size() const { return size_; }

  // Room for count entries without rebuilding.
  void Reserve(size_t count) {
    if ((count + removed_) * 4 > slots_.size() * 3) Rebuild(count);
  }

private:
  struct Slot {
    const void* key = nullptr;
    Value value{};
  };

  static const void* Removed() { return reinterpret_cast<const void*>(uintptr_t(1)); }
  static bool Storable(const void* key) { return key && key != Removed(); }

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

  void Grow() { Rebuild(size_ + 1); }

  // A table of the smallest power of two at most three quarters full with count entries.
  void Rebuild(size_t count) {
    size_t slots = 16;
    while (count * 4 > slots * 3) slots *= 2;
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(slots, Slot());
    shift_ = 64;
    for (size_t n = slots; n > 1; n >>= 1) --shift_;
    removed_ = 0;
    for (Slot& slot : old)
      if (Storable(slot.key)) SlotOf(slot.key) = std::move(slot);
  }

  std::vector<Slot> slots_;  // a power of two of them, at most three quarters used
  size_t size_ = 0;
  size_t removed_ = 0;   // slots marked as removed
  unsigned shift_ = 64;  // 64 less the number of bits of a slot's index
};

}  // namespace fbxsdk
