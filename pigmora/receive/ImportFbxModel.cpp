#include "receive/ImportFbxModel.h"

#include <filesystem>
#include <memory>
#include <new>
#include <string>

#include <Plugin/HImage.h>
#include <Plugin/HProject.h>
#include <common/ExchangeNames.h>

#include "fbx/FbxContext.h"
#include "receive/BuildInterchangeModel.h"
#include "receive/InterchangePolygons.h"
#include "receive/KeptImages.h"
#include "receive/MergeIntoProject.h"
#include "receive/ReadTextureList.h"

namespace pigmora {

namespace {

// Every image the list names must be one: a folder, a FIFO, a device, a file
// that is no image or one too large to be an image makes the whole answer
// damaged, as a list that cannot be read does, and the kept model stays as it is.
bool CheckTextureFiles(const TextureList& list, String& errorText) {
  for (const String& path : list.texturePaths) {
    String reason;
    if (HImage::IsImageFile(path, reason)) continue;
    errorText = String("'") + exchange::kTextureListFile + "' names the texture '" + path +
                "', which can't be used: " + reason + "; the model was not received";
    return false;
  }
  return true;
}

// The name the received model takes: its node's, else (a node named "") that
// of the FBX file, which Pigmora names after the model, so that the model has
// a name the user and the host's tree paths can reach.
String ReceivedModelName(const char* nodeName, const String& fbxPath) {
  if (nodeName && *nodeName) return nodeName;
  const std::string stem = std::filesystem::path(fbxPath.Get()).stem().string();
  return stem.empty() ? "Pigmora" : stem.c_str();
}

bool ImportAnswer(FbxContext& fbx, CurrentObject& current, const String& fbxPath, const String& texturesPath,
                  const String& keptImagesDir, String& errorText, String& notes, bool& imagesNotKept) {
  const TextureList list = ReadTextureList(texturesPath);
  if (!list.loaded) {
    errorText = list.errorText;
    return false;
  }
  if (!CheckTextureFiles(list, errorText)) return false;
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
  if (const FbxLayerElementUV* uvs = FindUVSet(*mesh, list)) {
    if (const int bad = FindUnusableUV(*uvs); bad >= 0) {
      errorText = String("FBX: The node '") + node->GetName() + "' has a UV (number " + std::to_string(bad).c_str() +
                  " of the UV set '" + uvs->GetName() +
                  "') whose coordinates are not finite numbers; the model was not received";
      return false;
    }
  }

  ImportTables tables;
  for (const String& path : list.leftOutPaths) {
    tables.notes.push_back(String("The texture '") + path + "' has a path longer than " +
                           std::to_string(kHostNameLimit).c_str() + " characters and was left out.");
  }
  auto model = std::make_unique<IEPolyModel>();
  const bool built = BuildInterchangeModel(*model, *node, *mesh, list, tables, errorText);
  const String name = ReceivedModelName(node->GetName(), fbxPath);
  // The interchange model holds all that is needed: the file's scene goes
  // before the merge, which needs the memory more.
  scene->Clear();
  if (!built) return false;
  KeptImages kept(keptImagesDir);
  if (!kept.Keep(*model, errorText)) {
    imagesNotKept = true;
    return false;
  }
  if (!MergeIntoProject(current, std::move(model), name, tables, errorText)) return false;
  kept.Commit();
  ForgetUnshownKeptImages(GetHProject(), keptImagesDir);
  for (const String& note : tables.notes) {
    if (!notes.IsEmpty()) notes += "\n";
    notes += note;
  }
  return true;
}

}  // namespace

bool ImportFbxModel(FbxContext& fbx, CurrentObject& current, const String& fbxPath, const String& texturesPath,
                    const String& keptImagesDir, String& errorText, String& notes, bool& imagesNotKept) {
  imagesNotKept = false;
  try {
    return ImportAnswer(fbx, current, fbxPath, texturesPath, keptImagesDir, errorText, notes, imagesNotKept);
  } catch (const std::bad_alloc&) {
    // What was built is released on the way out; the project has not changed.
    errorText = "Not enough memory for the received model";
    return false;
  }
}

bool ImportFbxModel(FbxContext& fbx, CurrentObject& current, const String& fbxPath, const String& texturesPath,
                    String& errorText, String& notes) {
  bool imagesNotKept = false;
  return ImportFbxModel(fbx, current, fbxPath, texturesPath, String(), errorText, notes, imagesNotKept);
}

bool ImportFbxModel(FbxContext& fbx, CurrentObject& current, const String& fbxPath, const String& texturesPath,
                    String& errorText) {
  String notes;
  return ImportFbxModel(fbx, current, fbxPath, texturesPath, errorText, notes);
}

}  // namespace pigmora
