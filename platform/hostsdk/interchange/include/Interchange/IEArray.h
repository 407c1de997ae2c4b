#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Storage management shared by every IEArray instantiation. Grows `data` to
// hold n elements of elementSize bytes by the interchange growth rule;
// initialise fills newly used slots. False (array unchanged) when n is
// negative or the allocation fails.
using IEArraySlotInitialiser = void (*)(void* first, std::size_t count);
bool IEArraySetCount(void*& data, std::int32_t& count, std::int32_t& capacity, std::int32_t growBy, std::int32_t n,
                     std::size_t elementSize, IEArraySlotInitialiser initialise);
void IEArrayRelease(void*& data, std::int32_t& count, std::int32_t& capacity);

// New slots of every element type but IEMaterial are zero bytes.
template <typename T>
void IEArrayInitialiseSlots(T* first, std::size_t count) {
  std::memset(static_cast<void*>(first), 0, count * sizeof(T));
}

// The growable array of the interchange model: 24 bytes shared with the host,
// elements stored by value, storage from AllocExt.
template <typename T>
struct IEArray {
  std::int32_t count = 0;
  std::int32_t capacity = 0;
  std::int32_t growBy = 0;  // 0: automatic step
  std::int32_t padding = 0;
  T* data = nullptr;

  explicit IEArray(std::int32_t step = 0) : growBy(step) {}
  ~IEArray() { Release(); }
  IEArray(const IEArray&) = delete;
  IEArray& operator=(const IEArray&) = delete;

  bool SetCount(std::int32_t n) {
    void* storage = data;
    bool ok = IEArraySetCount(storage, count, capacity, growBy, n, sizeof(T), &InitialiseSlots);
    data = static_cast<T*>(storage);
    return ok;
  }
  // Appending is SetCount(count + 1) and writing the last element. The value is
  // copied first: it may be one of this array's own elements, which growing frees.
  bool Append(const T& value) {
    const T copy = value;
    if (!SetCount(count + 1)) return false;
    data[count - 1] = copy;
    return true;
  }
  // Makes room for n elements at once, so that a list filled by appending grows
  // its storage once rather than growBy elements at a time; the count stays.
  bool Reserve(std::int32_t n) {
    if (n <= capacity) return true;
    const std::int32_t kept = count;
    if (!SetCount(n)) return false;
    count = kept;  // slots beyond the count are initialised again as it reaches them
    return true;
  }
  void Release() {
    void* storage = data;
    IEArrayRelease(storage, count, capacity);
    data = nullptr;
  }

  T& operator[](std::int32_t i) { return data[i]; }
  const T& operator[](std::int32_t i) const { return data[i]; }
  T* begin() { return data; }
  T* end() { return data ? data + count : nullptr; }
  const T* begin() const { return data; }
  const T* end() const { return data ? data + count : nullptr; }

private:
  static void InitialiseSlots(void* first, std::size_t n) { IEArrayInitialiseSlots(static_cast<T*>(first), n); }
};
