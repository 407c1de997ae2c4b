#pragma once

#include <FileIO/String.h>

namespace pigmora {

// The name a group's material gets in the model file the send writes: the
// group's name with blanks as underscores, and "default1" for a group called
// "default" (the model's own material has that name). The receive reads
// Pigmora's material names back through it to find the groups they came from.
String SentMaterialName(const String& groupName);

}  // namespace pigmora
