#pragma once

#include <fbxsdk.h>

#include <vector>

class IEPolyModel;

namespace pigmora {

struct ExportJob;

// One file texture per image of the model, at the image's index, named after
// the file without folder and extension. Images no material uses get one too.
std::vector<FbxFileTexture*> CreateFileTextures(FbxManager* manager, const IEPolyModel& model);

// Turns the job's materials into Phong materials with their textures on the
// channels of their slots, and sets them with each polygon's material index
// on layer 0 of the mesh. The layer elements belong to the mesh.
void AddMaterialsAndTextures(FbxManager* manager, const ExportJob& job, FbxMesh* mesh, FbxLayer* layer);

}  // namespace pigmora
