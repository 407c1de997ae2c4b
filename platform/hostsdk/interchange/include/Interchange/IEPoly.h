#pragma once

#include <cstdint>

#include "Interchange/IEArray.h"

class HPatch;

// One texture placement on one polygon (56 bytes, no dispatch pointer).
struct IEPolyMap {
  float uv[4][2];  // (u, v) of corners 0 to 3, host convention
  float reserved32 = 1.0f;
  float reserved36 = 1.0f;
  std::int32_t image = -1;  // index into the model's images; -1 = none
  std::int32_t reserved44 = -1;
  float reserved48 = 1.0f;
  std::uint32_t flags = 0;  // bits 0 to 3: map kind

  IEPolyMap() : uv{} {}
  int Kind() const { return static_cast<int>(flags & 0xFu); }
  void SetKind(int kind) { flags = (flags & ~0xFu) | (static_cast<std::uint32_t>(kind) & 0xFu); }
};

// One polygon of three or four corners (96 bytes, polymorphic). A triangle
// repeats corner 0 as corner 3. Owns its map records.
class IEPoly {
public:
  IEPoly();
  virtual ~IEPoly();
  IEPoly(const IEPoly&) = delete;
  IEPoly& operator=(const IEPoly&) = delete;

  int CornerCount() const { return corners[3] == corners[0] ? 3 : 4; }
  // Appends a map record the polygon then owns; false when the list cannot grow.
  bool AddMap(IEPolyMap* map);

  IEArray<IEPolyMap*> maps{5};
  std::int32_t corners[4];
  std::int32_t secondCorners[4];
  std::int32_t thirdCorners[4];
  std::int32_t material = -1;  // -1 = none
  std::int32_t padding = 0;
  HPatch* patch = nullptr;  // the host patch the polygon came from
};
