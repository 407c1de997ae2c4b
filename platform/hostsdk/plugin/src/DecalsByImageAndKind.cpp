#include "DecalsByImageAndKind.h"

#include "Plugin/DecalKind.h"
#include "Plugin/HDecal.h"
#include "Plugin/HImage.h"
#include "Plugin/HModelCache.h"

HDecal* DecalsByImageAndKind::DecalFor(HImage* image, int kind) {
  if (!image) return nullptr;
  HDecal*& decal = decals_[{image, kind}];
  if (!decal) {
    decal = model_.AddDecal(image->GetName() + " " + DecalKindWord(kind));
    decal->AddDecalClip(image)->GetKind()->SetValue(kind);
  }
  return decal;
}
