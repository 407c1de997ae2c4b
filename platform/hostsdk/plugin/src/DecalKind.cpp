#include "Plugin/DecalKind.h"

const char* DecalKindWord(int kind) {
  switch (kind) {
    case HDK_COLOR: return "color";
    case HDK_SPECULAR_INTENSITY: return "specular-intensity";
    case HDK_AMBIANCE: return "ambiance";
    case HDK_EMISSIVE_POWER: return "emissive-power";
    case HDK_DISPLACEMENT: return "displacement";
    case HDK_DISPLACEMENT_PERCENT: return "displacement-percent";
    case HDK_SPECULAR: return "specular";
    case HDK_NORMAL: return "normal";
    default: return "other";
  }
}
