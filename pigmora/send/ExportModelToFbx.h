#pragma once

#include <FileIO/String.h>

class HModelCache;

namespace pigmora {

class FbxContext;

// Writes the model, with its materials and textures, as an ASCII FBX file at
// path through the scene of the FBX context. False with a message for the user in
// errorText when the model cannot be converted or the file not written.
bool ExportModelToFbx(FbxContext& fbx, HModelCache* model, const String& path, String& errorText);

}  // namespace pigmora
