#include "receive/ImportFbxModel.h"

#include <memory>
#include <new>
#include <string>
#include <vector>

#include <Plugin/HModelCache.h>
#include <Plugin/HProject.h>

#include "fbx/FbxContext.h"
#include "receive/ImportSteps.h"
#include "receive/ReadTextureList.h"

namespace pigmora {

namespace {

// Builds the interchange model of the node's mesh; false with the reason.
bool BuildModel(IEPolyModel& model, FbxNode& node, FbxMesh& mesh, const TextureList& list, ImportTables& tables,
                String& errorText) {
  if (!AddVertices(model, mesh)) {
    errorText = "Not enough memory for the received model";
    return false;
  }
  AddImages(model, list, tables);
  if (!AddMaterials(model, list, node, tables, errorText)) return false;
  if (!AddPolygons(model, mesh, list, tables)) {
    errorText = "Not enough memory for the received model";
    return false;
  }
  if (model.polygons.count == 0) {
    errorText = String("FBX: The mesh of node '") + node.GetName() + "' has no polygon of three or more corners";
    return false;
  }
  AssignMaterialIndices(model, mesh, tables);
  std::vector<int>().swap(tables.sourcePolygon);  // the polygons hold their materials now
  DropUnusedMaterials(model, tables);
  const bool expanded = ExpandChannelMaps(model, list, tables);
  std::vector<PolygonUVs>().swap(tables.polygonUVs);  // the maps hold the UVs; the merge needs the memory
  if (!expanded) {
    errorText = "Not enough memory for the received model";
    return false;
  }
  NoteTexturesWithoutUVs(model, list, tables);
  DropUnusedImages(model);
  return true;
}

// The merge and the tidying of the new host model. Older images of the new
// model's files make way just before the merge, so its images take their names.
bool MergeIntoProject(CurrentObject& current, std::unique_ptr<IEPolyModel> model, const String& name,
                      const ImportTables& tables, String& errorText) {
  HModelCache* merged = HModelCache::New(name, 1);
  if (!merged) {
    errorText = String("Can't create the model '") + name + "' in the project";
    return false;
  }
  HModelCache* replaced = FindOtherModel(merged, name);
  RemoveReplacedImages(*model, GetHProject(), replaced);
  // No welding tolerance: Pigmora's vertices are taken as the file has them;
  // groups and decals are merged.
  const int mergeResult =
      merged->MergeIEModel(model.get(), name, /*tolerance=*/0.0f, /*mergeGroups=*/1, /*mergeDecals=*/1);
  model.reset();  // all of it is in the host model now
  if (!mergeResult) {
    HTreeObject::DeleteHandle(merged);
    errorText = String("The received model '") + name + "' could not be merged into the project";
    return false;
  }
  SetSplineMagnitudes(merged, 1.0f);
  NameGroupsAndMergeDecals(merged, tables, replaced);
  ReplaceOlderModel(merged, name, current);
  return true;
}

bool ImportAnswer(FbxContext& fbx, CurrentObject& current, const String& fbxPath, const String& texturesPath,
                  String& errorText, String& notes) {
  const TextureList list = ReadTextureList(texturesPath);
  if (!list.loaded) {
    errorText = list.errorText;
    return false;
  }
  FbxScene* scene = fbx.Scene();
  if (!scene) {
    errorText = "FBX: The FBX context is not available";
    return false;
  }
  scene->Clear();
  FbxString loadText;
  if (!fbx.LoadFbxScene(fbxPath.Get(), loadText)) {
    errorText = loadText.Buffer();
    return false;
  }
  FbxNode* root = scene->GetRootNode();
  if (!root) {
    errorText = "FBX: Cannot find RootNode";
    return false;
  }
  if (root->GetChildCount(false) == 0) {
    errorText = "FBX: RootNode doesn't have any child nodes";
    return false;
  }
  FbxNode* node = root->GetChild(0);
  FbxMesh* mesh = node ? node->GetMesh() : nullptr;
  if (!mesh) {
    errorText = String("FBX: The first child node '") + (node ? node->GetName() : "") + "' has no mesh";
    return false;
  }
  if (const int bad = FindUnusableControlPoint(*mesh); bad >= 0) {
    errorText = String("FBX: The node '") + node->GetName() + "' has a control point (number " +
                std::to_string(bad).c_str() + ") whose coordinates are not finite numbers; the model was not received";
    return false;
  }

  ImportTables tables;
  for (const String& path : list.leftOutPaths) {
    tables.notes.push_back(String("The texture '") + path +
                           "' has a path longer than 255 characters and was left out.");
  }
  auto model = std::make_unique<IEPolyModel>();
  const bool built = BuildModel(*model, *node, *mesh, list, tables, errorText);
  const String name = node->GetName();
  // The interchange model holds all that is needed: the file's scene goes
  // before the merge, which needs the memory more.
  scene->Clear();
  if (!built) return false;
  if (!MergeIntoProject(current, std::move(model), name, tables, errorText)) return false;
  for (const String& note : tables.notes) {
    if (!notes.IsEmpty()) notes += "\n";
    notes += note;
  }
  return true;
}

}  // namespace

bool ImportFbxModel(FbxContext& fbx, CurrentObject& current, const String& fbxPath, const String& texturesPath,
                    String& errorText, String& notes) {
  try {
    return ImportAnswer(fbx, current, fbxPath, texturesPath, errorText, notes);
  } catch (const std::bad_alloc&) {
    // What was built is released on the way out; the project has not changed.
    errorText = "Not enough memory for the received model";
    return false;
  }
}

bool ImportFbxModel(FbxContext& fbx, CurrentObject& current, const String& fbxPath, const String& texturesPath,
                    String& errorText) {
  String notes;
  return ImportFbxModel(fbx, current, fbxPath, texturesPath, errorText, notes);
}

}  // namespace pigmora
