// Scenes and files for the FBX library's tests.
#pragma once

#include "CommandRun.h"

#include "ScratchFolder.h"

#include <fbxsdk.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace fbxtest {

// A scene shaped like the one the plug-in sends: one node "Head" with mesh "HeadShape",
// a 3x2 grid of quads plus one triangle, the "map1" UV set by polygon vertex with an
// index array, two Phong materials by polygon, and file textures on three channels.
struct PluginLikeScene {
  FbxNode* node = nullptr;
  FbxMesh* mesh = nullptr;
  FbxSurfacePhong* materials[2] = {};
  FbxFileTexture* textures[3] = {};
};
PluginLikeScene BuildPluginLikeScene(FbxManager& manager, FbxScene& scene, bool polygonWithoutUVs = false);

// Writes the scene with writer index 0 (binary) or 1 (ASCII); the error text on failure.
bool Save(FbxManager& manager, FbxScene& scene, const std::string& path, int writer, std::string* error = nullptr);
// What one import of a file gave, as the plug-in imports: Initialize, then Import.
struct Imported {
  bool ok = false;           // both steps succeeded
  bool initialized = false;  // the header was read and the version accepted
  FbxStatus status;
  int version = 0;  // as 7400
  bool binary = false;
  std::vector<std::string> warnings;
  std::string Error() const { return status.GetErrorString(); }
  // Whether a warning holds all these texts.
  bool Warned(std::initializer_list<const char*> texts) const;
};
Imported Import(FbxManager& manager, FbxScene& scene, const std::string& path);
// Writes the bytes to a file in the folder and imports it.
Imported ImportBytes(FbxManager& manager, FbxScene& scene, const ScratchFolder& folder, const std::string& bytes,
                     const std::string& name = "input.fbx");

// Reads a file into the scene; fills status with the importer's.
bool Load(FbxManager& manager, FbxScene& scene, const std::string& path, FbxStatus* status = nullptr);

using ::RunCommand;

}  // namespace fbxtest
