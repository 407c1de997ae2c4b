// Files written by other tools, received as Pigmora's answer would be, and
// checked against what an independent reader found in them (expected.tsv).
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "ReceiveFixture.h"
#include "receive/ImportFbxModel.h"

using namespace pigmora;

namespace {

std::filesystem::path CorpusFolder() {
  const char* configured = std::getenv("FBX_CORPUS_DIR");
  return configured && *configured ? configured : PIGMORA_FBX_CORPUS_DIR;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream stream(text);
  while (std::getline(stream, part, separator)) parts.push_back(part);
  if (!text.empty() && text.back() == separator) parts.emplace_back();
  return parts;
}

// One row of expected.tsv, by column name.
struct CorpusFile {
  std::filesystem::path path;
  std::map<std::string, std::string> columns;

  const std::string& operator[](const char* column) const {
    static const std::string none;
    const auto found = columns.find(column);
    return found == columns.end() ? none : found->second;
  }
  int Number(const char* column) const { return std::atoi((*this)[column].c_str()); }

  // The patches the receive makes of the first child's mesh: a patch per
  // triangle or quad, n - 2 triangles per polygon of n > 4 corners, none for
  // fewer than three; -1 when that cannot be told from the row.
  int ExpectedPatches() const {
    if ((*this)["first_child_has_mesh"] != "yes") return 0;
    if (Number("degenerate") != 0) return -1;
    const int triangles = Number("triangles"), quads = Number("quads"), ngons = Number("ngons");
    const int ngonCorners = Number("polygon_vertices") - 3 * triangles - 4 * quads;
    return triangles + quads + ngonCorners - 2 * ngons;
  }
};

std::vector<CorpusFile> ReadExpectations(const std::filesystem::path& folder) {
  std::vector<CorpusFile> files;
  std::ifstream table(folder / "expected.tsv");
  std::string line;
  if (!std::getline(table, line)) return files;
  const std::vector<std::string> header = Split(line, '\t');
  while (std::getline(table, line)) {
    if (line.empty()) continue;
    const std::vector<std::string> cells = Split(line, '\t');
    CorpusFile file;
    for (std::size_t i = 0; i < header.size() && i < cells.size(); ++i) file.columns[header[i]] = cells[i];
    file.path = folder / file["file"];
    files.push_back(file);
  }
  return files;
}

// Whether the file's first mesh has a coordinate that is not a finite number:
// such an answer is refused on its own account, tested elsewhere.
bool HasNonFiniteCoordinates(const std::string& path) {
  bool nonFinite = false;
  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "");
  FbxImporter* importer = FbxImporter::Create(manager, "");
  if (importer->Initialize(path.c_str(), -1, nullptr) && importer->Import(scene, false) &&
      scene->GetRootNode()->GetChildCount() > 0) {
    if (FbxMesh* mesh = scene->GetRootNode()->GetChild(0)->GetMesh()) {
      for (int i = 0; i < mesh->GetControlPointsCount(); ++i) {
        for (int axis = 0; axis < 3; ++axis) nonFinite |= !std::isfinite(mesh->GetControlPoints()[i][axis]);
      }
    }
  }
  manager->Destroy();
  return nonFinite;
}

class CorpusReceiveTest : public ReceiveFixture {};

TEST_F(CorpusReceiveTest, EveryCorpusFileIsReceivedAsItsRowSaysOrRefusedWithAReason) {
  const std::filesystem::path folder = CorpusFolder();
  if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "no FBX corpus at " << folder;
  std::vector<CorpusFile> files = ReadExpectations(folder);
  for (const CorpusFile& file : ReadExpectations(folder / "wild")) files.push_back(file);
  ASSERT_GT(files.size(), 30u) << "expected.tsv is missing or unreadable";
  int received = 0, refused = 0;
  for (const CorpusFile& file : files) {
    const std::string path = file.path.string();
    SCOPED_TRACE(path);
    ASSERT_TRUE(std::filesystem::exists(file.path));
    if (HasNonFiniteCoordinates(path)) continue;
    const std::vector<std::string> materials = Split(file["node_materials"], '|');
    const std::vector<std::string> uvSets = Split(file["uv_sets"], '|');
    std::vector<std::vector<std::string>> groups;
    for (std::size_t m = 0; m < materials.size(); ++m) {
      groups.push_back({materials[m], uvSets.empty() ? "map1" : uvSets[0], "color",
                        scratch_.Path("corpus_" + std::to_string(m) + ".tga")});
    }
    String error, notes;
    const int modelsBefore = CountModels();
    const bool ok = ImportFbxModel(state_.Plugin().Fbx, state_.Plugin().CurrentTreeObject, path.c_str(),
                                   WriteTextures(groups).c_str(), error, notes);
    const int patches = file.ExpectedPatches();
    if (patches == 0) {
      EXPECT_FALSE(ok);
      EXPECT_FALSE(error.IsEmpty());
      EXPECT_EQ(CountModels(), modelsBefore);
      ++refused;
      continue;
    }
    ASSERT_TRUE(ok) << error.Get();
    ++received;
    HModelCache* model = Model(file["first_child"].c_str());
    ASSERT_NE(model, nullptr) << "the model is named after the first child, " << file["first_child"];
    if (patches > 0) {
      EXPECT_EQ(model->GetPatchCount(), patches);
    }
    for (HGroup* group : Groups(model)) {
      EXPECT_NE(std::find(materials.begin(), materials.end(), group->GetName().Get()), materials.end())
          << "group " << group->GetName().Get() << " is one of the node's materials";
    }
    // Without a UV set nothing can be painted; with one no patch is painted twice.
    int placed = 0;
    for (HDecal* decal : Decals(model)) placed += decal->GetPatchCount();
    if (uvSets.empty()) {
      EXPECT_EQ(placed, 0);
    }
    EXPECT_LE(placed, model->GetPatchCount());
    HTreeObject::DeleteHandle(model);
  }
  EXPECT_GT(received, 20);
  EXPECT_GT(refused, 4);
}

}  // namespace
