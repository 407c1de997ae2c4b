#pragma once

#include "Plugin/Export.h"

// What a decal clip's image drives on the surface. The host keeps the kind in
// four bits, so it travels unchanged in the map records of the interchange
// model. OBJ texture maps are read and written with these kinds.
enum HDecalKind {
  HDK_COLOR = 0,
  HDK_SPECULAR_INTENSITY = 4,
  HDK_AMBIANCE = 6,
  HDK_EMISSIVE_POWER = 7,
  HDK_DISPLACEMENT = 8,
  HDK_DISPLACEMENT_PERCENT = 9,
  HDK_SPECULAR = 10,
  HDK_NORMAL = 13,
};

// A short word for the kind ("color", "normal", ...), "other" for the rest.
PLUGIN_API const char* DecalKindWord(int kind);
