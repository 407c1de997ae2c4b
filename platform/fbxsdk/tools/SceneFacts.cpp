#include "SceneFacts.h"

#include <fbxsdk.h>

#include <cstring>
#include <string>

namespace fbxtools {

namespace {

std::string BaseName(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash ? slash + 1 : path;
}

// Tabs and line ends would break the columns.
std::string OneField(std::string text) {
  for (char& c : text)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::string Join(const std::vector<std::string>& items) {
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) out += (i ? "|" : "") + items[i];
  return out;
}

struct PolygonCounts {
  int triangles = 0, quads = 0, ngons = 0, degenerate = 0;
};

PolygonCounts CountPolygons(const FbxMesh& mesh) {
  PolygonCounts counts;
  for (int p = 0; p < mesh.GetPolygonCount(); ++p) {
    int size = mesh.GetPolygonSize(p);
    if (size < 3)
      ++counts.degenerate;
    else if (size == 3)
      ++counts.triangles;
    else if (size == 4)
      ++counts.quads;
    else
      ++counts.ngons;
  }
  return counts;
}

std::string SceneFacts(FbxScene& scene) {
  FbxNode* root = scene.GetRootNode();
  std::vector<std::string> children;
  for (int c = 0; c < root->GetChildCount(); ++c) children.push_back(OneField(root->GetChild(c)->GetName()));
  FbxNode* first = root->GetChild(0);
  FbxMesh* mesh = first ? first->GetMesh() : nullptr;
  std::string line = Join(children) + "\t" + (first ? OneField(first->GetName()) : "") + "\t" + (mesh ? "yes" : "no");
  PolygonCounts counts;
  std::vector<std::string> uvSets, materials;
  if (mesh) {
    counts = CountPolygons(*mesh);
    for (int u = 0; u < mesh->GetElementUVCount(); ++u) uvSets.push_back(OneField(mesh->GetElementUV(u)->GetName()));
  }
  for (int m = 0; first && m < first->GetMaterialCount(); ++m)
    materials.push_back(OneField(first->GetMaterial(m)->GetName()));
  // Without a mesh there is nothing to count: the columns stay empty rather than claim zeros.
  for (int value : {mesh ? mesh->GetControlPointsCount() : 0, mesh ? mesh->GetPolygonCount() : 0, counts.triangles,
                    counts.quads, counts.ngons, counts.degenerate, mesh ? mesh->GetPolygonVertexCount() : 0})
    line += "\t" + (mesh ? std::to_string(value) : std::string());
  return line + "\t" + Join(uvSets) + "\t" + Join(materials);
}

}  // namespace

std::string FactsHeader() {
  return "file\tversion\tencoding\troot_children\tfirst_child\tfirst_child_has_mesh\tcontrol_points\tpolygons\t"
         "triangles\tquads\tngons\tdegenerate\tpolygon_vertices\tuv_sets\tnode_materials";
}

std::string FactsLine(const char* path, std::vector<std::string>* warnings) {
  std::string line = OneField(BaseName(path));
  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "Facts");
  FbxImporter* importer = FbxImporter::Create(manager, "");
  if (!importer->Initialize(path, -1, nullptr) || !importer->Import(scene, false)) {
    line += "\terror: " + OneField(importer->GetStatus().GetErrorString());
  } else {
    int major, minor, revision;
    importer->GetFileVersion(major, minor, revision);
    line += "\t" + std::to_string(major * 1000 + minor * 100 + revision);
    line += importer->IsBinary() ? "\tbinary\t" : "\tascii\t";
    line += SceneFacts(*scene);
  }
  for (int w = 0; warnings && w < importer->GetWarningCount(); ++w) warnings->push_back(importer->GetWarning(w));
  manager->Destroy();
  return line;
}

}  // namespace fbxtools
