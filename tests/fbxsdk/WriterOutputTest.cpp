// What the writers put in the file beyond what our own reader needs back: the settings and version
// other programs read, names with quotes, and arrays compressed as other exporters store them.
#include <gtest/gtest.h>

#include <string>

#include "BinaryFbxFile.h"
#include "TestScene.h"

namespace {

class WriterOutputTest : public ::testing::Test {
protected:
  void SetUp() override {
    manager = FbxManager::Create();
    scene = FbxScene::Create(manager, "s");
    built = fbxtest::BuildPluginLikeScene(*manager, *scene);
  }
  void TearDown() override { manager->Destroy(); }

  std::string Written(int writer, bool compress = true) {
    FbxIOSettings* settings = FbxIOSettings::Create(manager, IOSROOT);
    settings->SetBoolProp(FbxExporter::kCompressArrays, compress);
    manager->SetIOSettings(settings);
    std::string path = folder.Path(writer ? "out_ascii.fbx" : compress ? "out.fbx" : "out_plain.fbx");
    EXPECT_TRUE(fbxtest::Save(*manager, *scene, path, writer));
    manager->SetIOSettings(nullptr);
    settings->Destroy();
    return ScratchFolder::ReadFile(path);
  }

  FbxManager* manager = nullptr;
  FbxScene* scene = nullptr;
  fbxtest::PluginLikeScene built;
  ScratchFolder folder;
};

// Y up, Z front, X right (right-handed), in centimetres: what every FBX 7.4 reader expects unless told.
const std::pair<const char*, int> kAxes[] = {{"UpAxis", 1},        {"UpAxisSign", 1}, {"FrontAxis", 2},
                                             {"FrontAxisSign", 1}, {"CoordAxis", 0},  {"CoordAxisSign", 1}};

TEST_F(WriterOutputTest, TheAsciiWriterStatesVersionAndAxesAsOtherReadersExpect) {
  std::string text = Written(1);
  EXPECT_EQ(text.rfind("; FBX 7.4.0 project file\n", 0), 0u) << text.substr(0, 40);
  EXPECT_NE(text.find("FBXVersion: 7400\n"), std::string::npos);
  for (const auto& [name, value] : kAxes)
    EXPECT_NE(
        text.find("P: \"" + std::string(name) + "\", \"int\", \"Integer\", \"\", " + std::to_string(value) + "\n"),
        std::string::npos)
        << name;
}

TEST_F(WriterOutputTest, TheBinaryWriterStatesVersionAndAxesAsOtherReadersExpect) {
  std::string bytes = Written(0);
  fbxtest::BinaryFbxFile encode(7400, false, false);
  ASSERT_GT(bytes.size(), 27u);
  EXPECT_EQ(bytes.substr(23, 4), std::string("\xe8\x1c\0\0", 4));  // 7400, little-endian
  EXPECT_NE(bytes.find("FBXVersion" + encode.Int(7400)), std::string::npos);
  for (const auto& [name, value] : kAxes)
    EXPECT_NE(bytes.find(encode.Text(name) + encode.Text("int") + encode.Text("Integer") + encode.Text("") +
                         encode.Int(value)),
              std::string::npos)
        << name;
}

TEST_F(WriterOutputTest, NamesWithQuotesReadBackInBothEncodings) {
  built.node->SetName("Say \"hi\"");
  built.materials[0]->SetName("\"quoted\" paint");
  for (int writer : {0, 1}) {
    Written(writer);
    FbxScene* read = FbxScene::Create(manager, "read");
    fbxtest::Imported imported = fbxtest::Import(*manager, *read, folder.Path(writer ? "out_ascii.fbx" : "out.fbx"));
    ASSERT_TRUE(imported.ok) << imported.Error();
    FbxNode* node = read->GetRootNode()->GetChild(0);
    ASSERT_NE(node, nullptr);
    EXPECT_STREQ(node->GetName(), "Say \"hi\"");
    EXPECT_STREQ(node->GetMaterial(0)->GetName(), "\"quoted\" paint");
  }
}

TEST_F(WriterOutputTest, BinaryArraysAreCompressedUnlessTurnedOff) {
  std::string compressed = Written(0, true), plain = Written(0, false);
  EXPECT_LT(compressed.size(), plain.size());
  // The control points: 'd', the count, then encoding 1 (compressed) or 0 (plain).
  fbxtest::BinaryFbxFile encode(7400, false, false);
  std::string count = encode.Int(built.mesh->GetControlPointsCount() * 3).substr(1);
  EXPECT_NE(compressed.find("Verticesd" + count + encode.Int(1).substr(1)), std::string::npos);
  EXPECT_NE(plain.find("Verticesd" + count + encode.Int(0).substr(1)), std::string::npos);

  for (const char* name : {"out.fbx", "out_plain.fbx"}) {
    FbxScene* read = FbxScene::Create(manager, name);
    fbxtest::Imported imported = fbxtest::Import(*manager, *read, folder.Path(name));
    ASSERT_TRUE(imported.ok) << imported.Error();
    FbxMesh* mesh = read->GetRootNode()->GetChild(0)->GetMesh();
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->PolygonVertices(), built.mesh->PolygonVertices()) << name;
    EXPECT_EQ(mesh->ControlPoints(), built.mesh->ControlPoints()) << name;
  }

  // fbxconvert --binary compresses too, unless asked not to.
  std::string tool = std::string(FBX_TOOLS_DIR) + "/fbxconvert '" + folder.Path("out_plain.fbx") + "' ";
  ASSERT_EQ(fbxtest::RunCommand(tool + "'" + folder.Path("c.fbx") + "' --binary"), 0);
  ASSERT_EQ(fbxtest::RunCommand(tool + "'" + folder.Path("u.fbx") + "' --binary --uncompressed"), 0);
  EXPECT_NE(ScratchFolder::ReadFile(folder.Path("c.fbx")).find("Verticesd" + count + encode.Int(1).substr(1)),
            std::string::npos);
  EXPECT_NE(ScratchFolder::ReadFile(folder.Path("u.fbx")).find("Verticesd" + count + encode.Int(0).substr(1)),
            std::string::npos);
  EXPECT_EQ(fbxtest::RunCommand(tool + "'" + folder.Path("x.fbx") + "' --ascii --uncompressed"), 2);
}

TEST(WriterOutputLargeTest, LargeCompressedArraysReadTheSameAsPlainOnes) {
  // Enough data that the reader inflates its arrays on several threads.
  ScratchFolder folder;
  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "grid");
  FbxNode* node = FbxNode::Create(manager, "Grid");
  FbxMesh* mesh = FbxMesh::Create(manager, "Grid");
  node->SetNodeAttribute(mesh);
  scene->GetRootNode()->AddChild(node);
  const int side = 400, points = side + 1;
  mesh->InitControlPoints(points * points);
  for (int i = 0; i < points * points; ++i) mesh->SetControlPointAt(FbxVector4(i % points, i / points, i * 1e-3), i);
  FbxLayerElementUV* uvs = mesh->CreateElementUV("map1");
  uvs->SetMappingMode(FbxLayerElement::eByPolygonVertex);
  uvs->SetReferenceMode(FbxLayerElement::eIndexToDirect);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      mesh->BeginPolygon(-1, -1, -1, false);
      for (int corner : {y * points + x, y * points + x + 1, (y + 1) * points + x + 1, (y + 1) * points + x}) {
        mesh->AddPolygon(corner);
        uvs->GetIndexArray().Add(uvs->GetDirectArray().Add(FbxVector2(corner * 1e-5, 1.0 - corner * 1e-5)));
      }
      mesh->EndPolygon();
    }
  FbxIOSettings* settings = FbxIOSettings::Create(manager, IOSROOT);
  manager->SetIOSettings(settings);
  std::vector<FbxMesh*> read;
  for (bool compress : {true, false}) {
    settings->SetBoolProp(FbxExporter::kCompressArrays, compress);
    std::string path = folder.Path(compress ? "packed.fbx" : "plain.fbx");
    ASSERT_TRUE(fbxtest::Save(*manager, *scene, path, 0));
    FbxScene* target = FbxScene::Create(manager, path.c_str());
    fbxtest::Imported imported = fbxtest::Import(*manager, *target, path);
    ASSERT_TRUE(imported.ok) << imported.Error();
    read.push_back(target->GetRootNode()->GetChild(0)->GetMesh());
  }
  EXPECT_LT(ScratchFolder::ReadFile(folder.Path("packed.fbx")).size(),
            ScratchFolder::ReadFile(folder.Path("plain.fbx")).size());
  for (FbxMesh* copy : read) {
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->ControlPoints(), mesh->ControlPoints());
    EXPECT_EQ(copy->PolygonVertices(), mesh->PolygonVertices());
    EXPECT_EQ(copy->GetElementUV(0)->GetDirectArray().Items(), uvs->GetDirectArray().Items());
    EXPECT_EQ(copy->GetElementUV(0)->GetIndexArray().Items(), uvs->GetIndexArray().Items());
  }
  manager->Destroy();
}

}  // namespace
