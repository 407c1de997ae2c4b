// Constants of the binary encoding shared by its reader and writer.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fbxsdk::io {

// "Kaydara FBX Binary  " with its terminator, then 0x1A, an endianness byte and the version.
inline constexpr char kBinaryMagic[] = "Kaydara FBX Binary  ";
inline constexpr size_t kBinaryMagicSize = sizeof kBinaryMagic;  // includes the NUL
inline constexpr size_t kBinaryHeaderSize = 27;
// From this version on, record offsets and counts are 64-bit.
inline constexpr int kFirstWideRecordVersion = 7500;

inline bool IsBinaryFbx(const void* data, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  if (size < kBinaryHeaderSize) return false;
  for (size_t i = 0; i < kBinaryMagicSize; ++i)
    if (bytes[i] != static_cast<unsigned char>(kBinaryMagic[i])) return false;
  return true;
}

}  // namespace fbxsdk::io
