// Files written by other tools, received as Pigmora's answer would be.
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "ReceiveFixture.h"
#include "receive/ImportFbxModel.h"

using namespace pigmora;

namespace {

std::string CorpusFolder() {
  const char* configured = std::getenv("FBX_CORPUS_DIR");
  return configured && *configured ? configured : PIGMORA_FBX_CORPUS_DIR;
}

// What the file holds, read with the library on its own: the patches its
// first mesh should give (triangles for polygons over four corners), its
// materials and first UV set. -1 patches when there is no usable mesh.
struct Expected {
  int patches = -1;
  std::vector<std::string> materials;
  std::string uvSet;
  bool finite = true;  // every control point a finite coordinate
};

Expected Inspect(const std::string& path) {
  Expected expected;
  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "");
  FbxImporter* importer = FbxImporter::Create(manager, "");
  if (importer->Initialize(path.c_str(), -1, nullptr) && importer->Import(scene, false) &&
      scene->GetRootNode()->GetChildCount() > 0) {
    FbxNode* node = scene->GetRootNode()->GetChild(0);
    for (int m = 0; m < node->GetMaterialCount(); ++m) expected.materials.push_back(node->GetMaterial(m)->GetName());
    if (FbxMesh* mesh = node->GetMesh()) {
      int patches = 0;
      for (int p = 0; p < mesh->GetPolygonCount(); ++p) {
        const int size = mesh->GetPolygonSize(p);
        patches += size < 3 ? 0 : size <= 4 ? 1 : size - 2;
      }
      expected.patches = patches > 0 ? patches : -1;
      for (int i = 0; i < mesh->GetControlPointsCount(); ++i) {
        for (int axis = 0; axis < 3; ++axis)
          expected.finite = expected.finite && std::isfinite(mesh->GetControlPointAt(i)[axis]);
      }
      if (FbxLayerElementUV* uvs = mesh->GetElementUV(0)) expected.uvSet = uvs->GetName();
    }
  }
  manager->Destroy();
  return expected;
}

class CorpusReceiveTest : public ReceiveFixture {};

TEST_F(CorpusReceiveTest, EveryCorpusFileIsReceivedOrRefusedWithAReason) {
  const std::string folder = CorpusFolder();
  if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "no FBX corpus at " << folder;
  int received = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".fbx") continue;
    const std::string path = entry.path().string();
    const Expected expected = Inspect(path);
    std::vector<std::vector<std::string>> groups;
    for (std::size_t m = 0; m < expected.materials.size(); ++m) {
      groups.push_back({expected.materials[m], expected.uvSet.empty() ? "map1" : expected.uvSet, "color",
                        scratch_.Path("corpus_" + std::to_string(m) + ".tga")});
    }
    String error, notes;
    const int modelsBefore = CountModels();
    const bool ok = ImportFbxModel(state_.Plugin().fbx, state_.Plugin().CurrentTreeObject, path.c_str(),
                                   WriteTextures(groups).c_str(), error, notes);
    if (expected.patches < 0 || !expected.finite) {
      EXPECT_FALSE(ok) << path;
      EXPECT_FALSE(error.IsEmpty()) << path;
      EXPECT_EQ(CountModels(), modelsBefore) << path;
      continue;
    }
    ASSERT_TRUE(ok) << path << ": " << error.Get();
    ++received;
    HModelCache* model = nullptr;
    for (HHashObject* child = project_->GetChildObjectCacheContainer()->GetChild(); child; child = child->GetSibling())
      model = child->GetAsModelCache();  // the newest is last
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->GetPatchCount(), expected.patches) << path;
    HTreeObject::DeleteHandle(model);
  }
  EXPECT_GT(received, 10);
}

}  // namespace
