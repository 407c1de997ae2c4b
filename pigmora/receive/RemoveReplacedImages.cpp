#include <Plugin/HImage.h>
#include <Plugin/HProject.h>

#include "receive/ImportSteps.h"

namespace pigmora {

void RemoveReplacedImages(const TextureList& list, HClipCacheContainer* container) {
  if (!container) return;
  for (const String& path : list.texturePaths) {
    for (HHashObject* child = container->GetChild(); child; child = child->GetSibling()) {
      auto* image = static_cast<HImage*>(child);
      if (image->GetFilename()->GetValue().Compare(path, 1)) {
        HTreeObject::DeleteHandle(image);
        break;
      }
    }
  }
}

}  // namespace pigmora
