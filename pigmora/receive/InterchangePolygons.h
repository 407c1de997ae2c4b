#pragma once

#include <fbxsdk.h>

#include <Interchange/IEModel.h>

#include "receive/ImportTables.h"
#include "receive/TextureList.h"

namespace pigmora {

// One polygon per FBX polygon of three or four corners, triangles for larger
// ones (ear clipping), none for smaller ones or ones naming a missing control
// point. UVs come from the list's first UV set, read as the mesh stores it.
bool AddPolygons(IEPolyModel& model, FbxMesh& mesh, const TextureList& list, ImportTables& tables);

}  // namespace pigmora
