#pragma once

#include <FileIO/String.h>

namespace pigmora {

class CurrentObject;
class FbxContext;

// Loads Pigmora's FBX file, builds an interchange model from the mesh of the
// root's first child with the painted textures of the texture list, merges it
// into a new host model and lets that replace an older model of the same name.
// True when the model was merged. On failure errorText says why and the
// project is unchanged. notes receives one line per texture or material that
// had to be left out.
bool ImportFbxModel(FbxContext& fbx, CurrentObject& current, const String& fbxPath, const String& texturesPath,
                    String& errorText, String& notes);
// The same, and the images of the accepted model are copies in a folder of
// their own under keptImagesDir (see KeptImages). imagesNotKept tells that the
// copies could not be made (a full disk): the answer itself is sound.
bool ImportFbxModel(FbxContext& fbx, CurrentObject& current, const String& fbxPath, const String& texturesPath,
                    const String& keptImagesDir, String& errorText, String& notes, bool& imagesNotKept);
bool ImportFbxModel(FbxContext& fbx, CurrentObject& current, const String& fbxPath, const String& texturesPath,
                    String& errorText);

}  // namespace pigmora
