#pragma once

#include <FileIO/String.h>

class HModelCache;

namespace pigmora {

// The host's polygon model holds group names and image file paths of at most
// kHostNameLimit characters and fails the whole conversion on a longer one. Checked
// before anything is written, so the user learns which name is too long.
// False with a message naming the group or image and the limit.
bool CheckModelNameLimits(HModelCache& model, String& errorText);

}  // namespace pigmora
