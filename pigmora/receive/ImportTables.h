#pragma once

#include <vector>

#include <FileIO/String.h>

namespace pigmora {

// The UVs a model polygon got from the mesh, kept beside the model until its
// channel maps are made, so every map list is grown once to its final size.
struct PolygonUVs {
  float uv[4][2];
  bool present;
};

// What the steps of one import hand each other beside the interchange model.
struct ImportTables {
  std::vector<int> sourcePolygon;        // per model polygon: the FBX polygon it came from
  std::vector<PolygonUVs> polygonUVs;    // per model polygon
  std::vector<int> modelMaterialOfNode;  // per node material: its model material, -1 for none
  std::vector<int> listMaterialOfModel;  // per model material: its texture-list material, -1 for none
  std::vector<String> modelMaterialNames;
  std::vector<int> imageOfTexture;  // per texture path: its model image, -1 when left out
  std::vector<String> notes;        // what the user is told was left out
};

}  // namespace pigmora
