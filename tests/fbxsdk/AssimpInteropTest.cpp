// Other tools read what the writers write: assimp, when installed, sees the same content.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>

#include "AssimpView.h"
#include "TestScene.h"

namespace {

using assimpview::Face;
using assimpview::Numbers;
using assimpview::Point;
using assimpview::Rounded;

// Writer index 0 (binary) or 1 (ASCII), or the binary writer with compression turned off.
constexpr int kPlainBinary = 2;

// The plug-in's kind of scene, built afresh for each test when assimp is there to read it.
class AssimpInteropTest : public ::testing::TestWithParam<int> {
protected:
  void SetUp() override {
    if (fbxtest::RunCommand("command -v assimp") != 0)
      GTEST_SKIP() << "assimp is not on PATH (Debian package assimp-utils)";
    manager = FbxManager::Create();
    scene = FbxScene::Create(manager, "My Scene");
    built = fbxtest::BuildPluginLikeScene(*manager, *scene);
  }
  void TearDown() override {
    if (manager) manager->Destroy();
  }

  ScratchFolder folder;
  FbxManager* manager = nullptr;
  FbxScene* scene = nullptr;
  fbxtest::PluginLikeScene built;
};

TEST_P(AssimpInteropTest, ReadsTheSameGeometryUVsMaterialsAndTextures) {
  // Binary output is read compressed, as the writer stores it by default, and plain.
  FbxIOSettings* settings = FbxIOSettings::Create(manager, IOSROOT);
  settings->SetBoolProp(FbxExporter::kCompressArrays, GetParam() != kPlainBinary);
  manager->SetIOSettings(settings);
  ASSERT_TRUE(fbxtest::Save(*manager, *scene, folder.Path("scene.fbx"), GetParam() == kPlainBinary ? 0 : GetParam()));

  assimpview::AssimpView obj = assimpview::ReadWithAssimp(folder.Path("scene.fbx"), folder.Root());
  if (HasFailure()) return;

  // Faces by material, each as its corners' positions, in the scene's order.
  FbxMesh& mesh = *built.mesh;
  std::map<std::string, std::vector<Face>> expected;
  for (int p = 0; p < mesh.GetPolygonCount(); ++p) {
    Face face;
    for (int k = 0; k < mesh.GetPolygonSize(p); ++k) {
      FbxVector4 point = mesh.GetControlPointAt(mesh.GetPolygonVertex(p, k));
      face.push_back(Rounded({point[0], point[1], point[2]}));
    }
    int material = mesh.GetLayer(0)->GetMaterials()->GetIndexArray().GetAt(p);
    expected[built.materials[material]->GetName()].push_back(face);
  }
  EXPECT_EQ(obj.faces, expected);

  std::vector<Point> uvs;
  for (const FbxVector2& uv : mesh.GetElementUV("map1")->GetDirectArray().Items()) {
    Point rounded = Rounded({uv[0], uv[1]});
    if (std::find(uvs.begin(), uvs.end(), rounded) == uvs.end()) uvs.push_back(rounded);
  }
  std::sort(uvs.begin(), uvs.end());
  std::sort(obj.uvs.begin(), obj.uvs.end());
  EXPECT_EQ(obj.uvs, uvs);

  for (FbxSurfacePhong* phong : built.materials) {
    auto& lines = obj.materials[phong->GetName()];
    FbxDouble3 diffuse = phong->Diffuse.Get(), ambient = phong->Ambient.Get(), specular = phong->Specular.Get();
    std::vector<double> kd = Numbers(lines["Kd"]), ka = Numbers(lines["Ka"]), ks = Numbers(lines["Ks"]);
    ASSERT_EQ(kd.size(), 3u) << phong->GetName();
    ASSERT_EQ(ka.size(), 3u);
    ASSERT_EQ(ks.size(), 3u);
    for (int c = 0; c < 3; ++c) {
      EXPECT_NEAR(kd[c], diffuse[c] * phong->DiffuseFactor.Get(), 1e-6);
      EXPECT_NEAR(ka[c], ambient[c] * phong->AmbientFactor.Get(), 1e-6);
      EXPECT_NEAR(ks[c], specular[c], 1e-6);
    }
  }
  EXPECT_EQ(obj.materials["default"]["map_Kd"], "/textures/color map.png");
  EXPECT_EQ(obj.materials["default"].count("map_Ks"), 0u);
  EXPECT_EQ(obj.materials["left_arm"]["map_Ks"], "/textures/specular.tif");
  EXPECT_EQ(obj.materials["left_arm"]["map_bump"], "/textures/normal.png");
  EXPECT_EQ(obj.materials["left_arm"].count("map_Kd"), 0u);
}

// A material at its class's starting values lists none of them itself; other tools take them from
// the class's template in the file's definitions.
TEST_P(AssimpInteropTest, AMaterialAtItsStartingValuesReadsThemFromTheTemplate) {
  FbxSurfacePhong& reset = *built.materials[1];
  for (int i = 0; i < reset.GetPropertyCount(); ++i) {
    FbxProperty* property = reset.GetPropertyAt(i);
    property->SetValues(property->GetClassInfo().numbers, property->GetValueCount());
  }
  ASSERT_TRUE(fbxtest::Save(*manager, *scene, folder.Path("scene.fbx"), GetParam() == kPlainBinary ? 0 : GetParam()));
  assimpview::AssimpView obj = assimpview::ReadWithAssimp(folder.Path("scene.fbx"), folder.Root());
  if (HasFailure()) return;
  auto expectNear = [](const std::string& line, std::vector<double> expected) {
    std::vector<double> read = Numbers(line);
    ASSERT_EQ(read.size(), expected.size()) << line;
    for (size_t i = 0; i < read.size(); ++i) EXPECT_NEAR(read[i], expected[i], 1e-6) << line;
  };
  auto& lines = obj.materials["left_arm"];
  expectNear(lines["Kd"], {0.8, 0.8, 0.8});
  expectNear(lines["Ka"], {0.2, 0.2, 0.2});
  expectNear(lines["Ks"], {0.2, 0.2, 0.2});
  // The other material keeps its own values beside the template.
  expectNear(obj.materials["default"]["Kd"], {0.3 * 0.75, 0.2 * 0.75, 0.1 * 0.75});
}

INSTANTIATE_TEST_SUITE_P(BothWriters, AssimpInteropTest, ::testing::Values(0, 1, kPlainBinary), [](const auto& info) {
  return std::string(info.param == 0 ? "binary" : info.param == 1 ? "ascii" : "plain_binary");
});

}  // namespace
