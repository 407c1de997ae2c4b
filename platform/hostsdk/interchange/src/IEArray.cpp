#include "Interchange/IEArray.h"

#include <algorithm>
#include <climits>

#include <FileIO/Memory.h>

namespace {

std::int64_t GrowthStep(std::int32_t growBy, std::int32_t count) {
  if (growBy != 0) return growBy;
  return std::clamp<std::int64_t>(count / 8, 4, 1024);
}

}  // namespace

bool IEArraySetCount(void*& data, std::int32_t& count, std::int32_t& capacity, std::int32_t growBy, std::int32_t n,
                     std::size_t elementSize, IEArraySlotInitialiser initialise) {
  if (n < 0) return false;
  if (n == 0) {
    IEArrayRelease(data, count, capacity);
    return true;
  }
  auto* bytes = static_cast<unsigned char*>(data);
  if (data == nullptr) {
    void* fresh = AllocExt(static_cast<std::size_t>(n) * elementSize);
    if (!fresh) return false;
    initialise(fresh, static_cast<std::size_t>(n));
    data = fresh;
    capacity = n;
  } else if (n > capacity) {
    std::int64_t wanted = std::max<std::int64_t>(n, std::int64_t{capacity} + GrowthStep(growBy, count));
    auto newCapacity = static_cast<std::int32_t>(std::min<std::int64_t>(wanted, INT32_MAX));
    auto* fresh = static_cast<unsigned char*>(AllocExt(static_cast<std::size_t>(newCapacity) * elementSize));
    if (!fresh) return false;
    std::memcpy(fresh, bytes, static_cast<std::size_t>(count) * elementSize);
    initialise(fresh + static_cast<std::size_t>(count) * elementSize, static_cast<std::size_t>(n - count));
    FreeExt(data);
    data = fresh;
    capacity = newCapacity;
  } else if (n > count) {
    initialise(bytes + static_cast<std::size_t>(count) * elementSize, static_cast<std::size_t>(n - count));
  }
  count = n;
  return true;
}

void IEArrayRelease(void*& data, std::int32_t& count, std::int32_t& capacity) {
  if (data) FreeExt(data);
  data = nullptr;
  count = 0;
  capacity = 0;
}
