#include "fbx/SentMaterialName.h"

#include <cstdio>

namespace pigmora {

String SentMaterialName(const String& groupName) {
  String name = groupName;
  name.Replace(" ", "_");
  if (name.Compare("default", 1)) {
    char number[16];
    std::snprintf(number, sizeof number, "%d", 1);
    name += number;
  }
  return name;
}

}  // namespace pigmora
