#pragma once

#include <fbxsdk.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

// A mesh described plainly, written as an FBX file with the FBX library, so
// tests can give the receive every layout a file may have.
struct MeshPlan {
  enum UVLayout { UVByCornerIndexed, UVByCornerDirect, UVByControlPoint, NoUVs };

  std::string nodeName = "Cube";
  bool withMesh = true;
  std::vector<std::array<double, 3>> points;
  std::vector<std::vector<int>> polygons;
  std::vector<std::string> materials;  // the node's materials, in order
  bool lambert = false;                // Lambert instead of Phong materials
  std::vector<int> polygonMaterials;   // by polygon; one entry with materialsAllSame
  bool materialsAllSame = false;
  UVLayout uvLayout = UVByCornerIndexed;
  std::string uvSetName = "map1";
  std::vector<std::vector<std::array<double, 2>>> cornerUVs;  // per polygon, per corner
  std::vector<std::array<double, 2>> pointUVs;                // UVByControlPoint
  std::vector<int> uvIndexOverride;                           // replaces the index array when not empty
  FbxDouble3 diffuse{0.25, 0.5, 0.75};
  FbxDouble3 specular{0.1, 0.2, 0.3};
  // Left at the library's defaults unless given.
  std::optional<FbxDouble3> ambient;
  std::optional<std::array<double, 3>> factors;  // diffuse, ambient, specular
};

// Writes the planned mesh with the binary (default) or ASCII writer; true on success.
bool WriteMeshFile(const MeshPlan& plan, const std::string& path, bool ascii = false);

// A flat grid of quads in the XY plane with UVs spanning [0,1]², all of material 0.
MeshPlan GridPlan(int quadsPerSide, const std::vector<std::string>& materials);
