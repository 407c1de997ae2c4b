#include "SceneFacts.h"

#include <fbxsdk.h>

#include <cstdio>
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

std::string JoinFields(const std::vector<std::string>& items) {
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) out += (i ? "|" : "") + OneField(items[i]);
  return out;
}

// Names are 8-bit text of unknown encoding: bytes outside ASCII pass through as they are, so
// UTF-8 names stay readable; control characters are escaped.
std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string JsonList(const std::vector<std::string>& items) {
  std::string out = "[";
  for (size_t i = 0; i < items.size(); ++i) out += (i ? ", " : "") + JsonString(items[i]);
  return out + "]";
}

void CountPolygons(const FbxMesh& mesh, FileFacts& facts) {
  for (int p = 0; p < mesh.GetPolygonCount(); ++p) {
    int size = mesh.GetPolygonSize(p);
    if (size < 3)
      ++facts.degenerate;
    else if (size == 3)
      ++facts.triangles;
    else if (size == 4)
      ++facts.quads;
    else
      ++facts.ngons;
  }
}

void ReadSceneFacts(FbxScene& scene, FileFacts& facts) {
  FbxNode* root = scene.GetRootNode();
  for (int c = 0; c < root->GetChildCount(); ++c) facts.rootChildren.push_back(root->GetChild(c)->GetName());
  FbxNode* first = root->GetChild(0);
  if (!first) return;
  facts.firstChild = first->GetName();
  for (int m = 0; m < first->GetMaterialCount(); ++m) facts.nodeMaterials.push_back(first->GetMaterial(m)->GetName());
  FbxMesh* mesh = first->GetMesh();
  facts.firstChildHasMesh = mesh != nullptr;
  if (!mesh) return;
  CountPolygons(*mesh, facts);
  facts.controlPoints = mesh->GetControlPointsCount();
  facts.polygons = mesh->GetPolygonCount();
  facts.polygonVertices = mesh->GetPolygonVertexCount();
  for (int u = 0; u < mesh->GetElementUVCount(); ++u) facts.uvSets.push_back(mesh->GetElementUV(u)->GetName());
}

}  // namespace

FileFacts ReadFacts(const char* path) {
  FileFacts facts;
  facts.file = BaseName(path);
  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "Facts");
  FbxImporter* importer = FbxImporter::Create(manager, "");
  if (!importer->Initialize(path, -1, nullptr) || !importer->Import(scene, false)) {
    facts.error = importer->GetStatus().GetErrorString();
    if (facts.error.empty()) facts.error = "unknown error";
  } else {
    int major, minor, revision;
    importer->GetFileVersion(major, minor, revision);
    facts.version = major * 1000 + minor * 100 + revision;
    facts.binary = importer->IsBinary();
    ReadSceneFacts(*scene, facts);
  }
  for (int w = 0; w < importer->GetWarningCount(); ++w) facts.warnings.push_back(importer->GetWarning(w));
  manager->Destroy();
  return facts;
}

std::string FactsHeader() {
  return "file\tversion\tencoding\troot_children\tfirst_child\tfirst_child_has_mesh\tcontrol_points\tpolygons\t"
         "triangles\tquads\tngons\tdegenerate\tpolygon_vertices\tuv_sets\tnode_materials";
}

std::string FactsLine(const FileFacts& facts) {
  std::string line = OneField(facts.file);
  if (!facts.error.empty()) return line + "\terror: " + OneField(facts.error);
  line += "\t" + std::to_string(facts.version) + (facts.binary ? "\tbinary\t" : "\tascii\t");
  line += JoinFields(facts.rootChildren) + "\t" + OneField(facts.firstChild) + "\t" +
          (facts.firstChildHasMesh ? "yes" : "no");
  // Without a mesh there is nothing to count: the columns stay empty rather than claim zeros.
  for (int value : {facts.controlPoints, facts.polygons, facts.triangles, facts.quads, facts.ngons, facts.degenerate,
                    facts.polygonVertices})
    line += "\t" + (facts.firstChildHasMesh ? std::to_string(value) : std::string());
  return line + "\t" + JoinFields(facts.uvSets) + "\t" + JoinFields(facts.nodeMaterials);
}

std::string FactsJson(const FileFacts& facts) {
  std::string json = "{\"file\": " + JsonString(facts.file);
  if (!facts.error.empty()) return json + ", \"error\": " + JsonString(facts.error) + "}";
  json += ", \"version\": " + std::to_string(facts.version);
  json += std::string(", \"encoding\": ") + (facts.binary ? "\"binary\"" : "\"ascii\"");
  json += ", \"root_children\": " + JsonList(facts.rootChildren);
  // A file whose root has no child has no first child: null, as it has no mesh counts.
  json += ", \"first_child\": " + (facts.rootChildren.empty() ? std::string("null") : JsonString(facts.firstChild));
  json += std::string(", \"first_child_has_mesh\": ") + (facts.firstChildHasMesh ? "true" : "false");
  const std::pair<const char*, int> counts[] = {{"control_points", facts.controlPoints},
                                                {"polygons", facts.polygons},
                                                {"triangles", facts.triangles},
                                                {"quads", facts.quads},
                                                {"ngons", facts.ngons},
                                                {"degenerate", facts.degenerate},
                                                {"polygon_vertices", facts.polygonVertices}};
  for (const auto& [key, value] : counts)
    json += ", \"" + std::string(key) + "\": " + (facts.firstChildHasMesh ? std::to_string(value) : "null");
  json += ", \"uv_sets\": " + JsonList(facts.uvSets);
  json += ", \"node_materials\": " + JsonList(facts.nodeMaterials);
  return json + "}";
}

}  // namespace fbxtools
