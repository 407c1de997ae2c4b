#pragma once

#include <unordered_set>

class HImage;
class HModelCache;
class HProject;

namespace pigmora {

// The images the decals of every model but `replaced` (or null) show.
std::unordered_set<const HImage*> ImagesInUse(HProject& project, const HModelCache* replaced);

}  // namespace pigmora
