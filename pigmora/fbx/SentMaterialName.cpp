#include "fbx/SentMaterialName.h"

namespace pigmora {

String SentMaterialName(const String& groupName) {
  String name = groupName;
  name.Replace(" ", "_");
  if (name.Compare("default", 1)) name += "1";
  return name;
}

}  // namespace pigmora
