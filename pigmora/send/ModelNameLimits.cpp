#include "send/ModelNameLimits.h"

#include <Plugin/HDecal.h>
#include <Plugin/HGroup.h>
#include <Plugin/HImage.h>
#include <Plugin/HModelCache.h>

#include <cstring>
#include <string>

#include "host/HostNameLimit.h"

namespace pigmora {

namespace {

constexpr std::size_t kShownCharacters = 60;

// Enough of a long text to recognise it in a message box.
std::string Shortened(const char* text) {
  const std::string whole = text ? text : "";
  return whole.size() <= kShownCharacters ? whole : whole.substr(0, kShownCharacters) + "...";
}

std::size_t LengthOf(const String& text) { return text.Get() ? std::strlen(text.Get()) : 0; }

}  // namespace

bool CheckModelNameLimits(HModelCache& model, String& errorText) {
  if (HGroupContainer* groups = model.GetChildGroupContainer()) {
    for (HGroup* group = groups->GetChildGroup(); group; group = static_cast<HGroup*>(group->GetSibling())) {
      const String name = group->GetName();
      if (LengthOf(name) <= kHostNameLimit) continue;
      errorText = ("The group '" + Shortened(name.Get()) + "' has a name of " + std::to_string(LengthOf(name)) +
                   " characters; a group name sent to Pigmora may have at most " + std::to_string(kHostNameLimit) +
                   ". Rename the group and send again.")
                      .c_str();
      return false;
    }
  }
  if (HDecalContainer* decals = model.GetChildDecalContainer()) {
    for (HDecal* decal = decals->GetChildDecal(); decal; decal = static_cast<HDecal*>(decal->GetSibling())) {
      HDecalClipContainer* clips = decal->GetChildDecalClipContainer();
      for (HDecalClip* clip = clips ? clips->GetChildDecalClip() : nullptr; clip;
           clip = static_cast<HDecalClip*>(clip->GetSibling())) {
        HImage* image = clip->GetClip()->GetClip();
        if (!image) continue;
        const String path = image->GetFilename()->GetValue();
        if (LengthOf(path) <= kHostNameLimit) continue;
        errorText = ("The image '" + std::string(image->GetName().Get() ? image->GetName().Get() : "") +
                     "' is loaded from a path of " + std::to_string(LengthOf(path)) +
                     " characters; an image path sent to Pigmora may have at most " + std::to_string(kHostNameLimit) +
                     ": '" + Shortened(path.Get()) + "'")
                        .c_str();
        return false;
      }
    }
  }
  return true;
}

}  // namespace pigmora
