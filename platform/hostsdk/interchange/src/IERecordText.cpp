#include <cstring>

#include "Interchange/IEImage.h"
#include "Interchange/IEMaterial.h"

namespace {

bool CopyBounded(char (&target)[256], const char* text) {
  if (!text) text = "";
  std::size_t length = std::strlen(text);
  bool fits = length < sizeof(target);
  if (!fits) length = sizeof(target) - 1;
  std::memcpy(target, text, length);
  std::memset(target + length, 0, sizeof(target) - length);
  return fits;
}

}  // namespace

bool IEImage::SetPath(const char* text) { return CopyBounded(path, text); }

bool IEMaterial::SetName(const char* text) { return CopyBounded(name, text); }

IEMaterial IEMaterial::Defaults() {
  IEMaterial material;
  std::memset(&material, 0, sizeof(material));
  material.diffuseFactor = 1.0f;
  material.specularFactor = 1.0f;
  material.reserved308[1] = 1.0f;
  material.reserved308[4] = 1.0f;
  material.reserved308[8] = 1.0f;
  return material;
}

void IEArrayInitialiseSlots(IEMaterial* first, std::size_t count) {
  const IEMaterial defaults = IEMaterial::Defaults();
  for (std::size_t i = 0; i < count; ++i) first[i] = defaults;
}
