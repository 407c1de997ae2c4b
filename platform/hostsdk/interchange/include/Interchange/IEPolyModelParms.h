#pragma once

#include <cstdint>

// Parameters of HModelCache::BuildExportModel. Callers zero the record and set
// the fields they need. This host reads only flags bit 0.
struct IEPolyModelParms {
  std::int32_t mode = 0;
  std::int32_t subdivision = 0;
  std::int64_t reserved8 = 0;
  std::int64_t options = 0;
  std::uint32_t flags = 0;  // bit 0: place decal maps on the polygons
  std::uint32_t reserved28 = 0;

  enum : std::uint32_t { IncludeMaps = 1u };
};
