#pragma once

#include <fbxsdk.h>

#include <string>
#include <vector>

// The first mesh of a model file as the peer works on it: positions,
// polygons, one UV per polygon corner, a material per polygon and the node's
// materials.
struct PeerMesh {
  struct Material {
    std::string name;
    FbxDouble3 diffuse{0.8, 0.8, 0.8};
    FbxDouble3 ambient{0, 0, 0};
    FbxDouble3 specular{0, 0, 0};
    double diffuseFactor = 1.0;
    double ambientFactor = 1.0;
    double specularFactor = 1.0;
  };

  std::string nodeName;
  std::string uvSetName;  // empty when the mesh has no UVs
  std::vector<FbxVector4> points;
  std::vector<int> polygonVertices;  // control point per corner
  std::vector<int> polygonStarts;    // first corner per polygon
  std::vector<FbxVector2> cornerUVs;
  std::vector<char> cornerHasUV;
  std::vector<int> polygonMaterial;  // node material per polygon, -1 for none
  std::vector<Material> materials;

  int PolygonCount() const { return static_cast<int>(polygonStarts.size()); }
  int PolygonSize(int polygon) const;
};

// Reads the root's first child and its mesh; false with the reason.
bool LoadPeerMesh(const std::string& path, PeerMesh& mesh, std::string& problem);

// Writes the mesh as the only node of an FBX file (binary unless ascii); the
// library writes under a temporary name and renames when complete. The mesh's
// arrays move into the file's scene: pass a copy to keep them.
bool SavePeerMesh(PeerMesh mesh, const std::string& path, bool ascii, std::string& problem);
