#pragma once

#include <fbxsdk.h>

namespace pigmora {

struct ExportJob;

// One node named after the model with a mesh (name + "Shape") holding the
// export model's control points, polygons, the "map1" UV set and, through
// AddMaterialsAndTextures, its materials and textures. Not yet in any scene.
FbxNode* BuildFbxNode(FbxManager* manager, const ExportJob& job);

}  // namespace pigmora
