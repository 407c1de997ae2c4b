#pragma once

#include <fbxsdk.h>

#include <FileIO/String.h>
#include <Interchange/IEModel.h>

#include "receive/ImportTables.h"
#include "receive/TextureList.h"

class HModelCache;
class HProject;

namespace pigmora {

class CurrentObject;

// The steps that turn Pigmora's mesh and texture list into an interchange
// model, and tidy the host model merged from it. Each lives in its own file.

// Control point i becomes vertex i (double narrowed to float, unscaled).
bool AddVertices(IEPolyModel& model, const FbxMesh& mesh);

// The first control point with a coordinate that is not a number or does not
// fit a float (infinite, or beyond its range), or -1: such a point would
// turn the whole model into garbage.
int FindUnusableControlPoint(const FbxMesh& mesh);

// Texture path i becomes an image of the model; a path the model cannot hold
// is left out with a note.
void AddImages(IEPolyModel& model, const TextureList& list, ImportTables& tables);

// The texture list's materials that the node has, in list order, then the
// node's other materials, read as Phong or Lambert (a Lambert has no
// specular). False with the reason when a node material is neither.
bool AddMaterials(IEPolyModel& model, const TextureList& list, const FbxNode& node, ImportTables& tables,
                  String& errorText);

// One polygon per FBX polygon of three or four corners, triangles for larger
// ones (ear clipping), none for smaller ones or ones naming a missing control
// point. UVs come from the list's first UV set, read as the mesh stores it.
bool AddPolygons(IEPolyModel& model, const FbxMesh& mesh, const TextureList& list, ImportTables& tables);

// Every polygon takes the material of the FBX polygon it came from.
void AssignMaterialIndices(IEPolyModel& model, const FbxMesh& mesh, const ImportTables& tables);

// Materials no polygon uses would only become empty groups, one more with
// every round trip: they are left out, and the polygons' indices follow.
void DropUnusedMaterials(IEPolyModel& model, ImportTables& tables);

// A polygon with UVs gets one map per textured channel of its material, in
// channel order, each with the channel's kind and the polygon's UVs.
bool ExpandChannelMaps(IEPolyModel& model, const TextureList& list, const ImportTables& tables);

// Tells the user, in a note, of the materials whose textures no polygon can
// show because none of their polygons has UVs.
void NoteTexturesWithoutUVs(const IEPolyModel& model, const TextureList& list, ImportTables& tables);

// Images no map shows (those of materials without polygons) would only
// clutter the project: they are left out, and the maps' indices follow.
void DropUnusedImages(IEPolyModel& model);

// Makes way for the images the new model brings: for each of its files, the
// first project image of that file that no model's decal shows any more is
// deleted. The decals of replaced, the older model the new one replaces (or
// null), do not count; every other model keeps its images.
void RemoveReplacedImages(const IEPolyModel& model, HProject* project, const HModelCache* replaced);

// Sets the in and out magnitude of every spline control point.
void SetSplineMagnitudes(HModelCache* model, float magnitude);

// Names the groups after the materials (a material sent from a group of
// replaced, the model the new one replaces or null, takes that group's name
// back) and gathers every decal's clips and placements into the first decal.
void NameGroupsAndMergeDecals(HModelCache* model, const ImportTables& tables, HModelCache* replaced);

// Another model of the project's objects folder named exactly name, or null.
HModelCache* FindOtherModel(HModelCache* model, const String& name);

// Moves the scene instances of an older model of that name to model, deletes
// the older model and gives model the plain name.
void ReplaceOlderModel(HModelCache* model, const String& name, CurrentObject& current);

}  // namespace pigmora
