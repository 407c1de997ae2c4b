// Binary files as other writers lay them out: 64-bit records, compressed arrays, big-endian byte order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "BinaryFbxFile.h"
#include "TestScene.h"

namespace {

struct Variant {
  int version;
  bool bigEndian;
  bool compress;
  const char* name;
};

class BinaryVariantsTest : public ::testing::TestWithParam<Variant> {};

TEST_P(BinaryVariantsTest, ReadsMeshNodeAndMaterial) {
  const Variant& variant = GetParam();
  fbxtest::BinaryFbxFile file(variant.version, variant.bigEndian, variant.compress);
  using Node = fbxtest::BinaryFbxFile::Node;
  Node header{"FBXHeaderExtension", "", 0, {{"FBXVersion", file.Int(variant.version), 1, {}}}};
  Node geometry{"Geometry",
                file.Long(10) + file.Text(std::string("Quad\0\1Geometry", 14)) + file.Text("Mesh"),
                3,
                {{"Vertices", file.Doubles({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 2, 2, 2}), 1, {}},
                 {"PolygonVertexIndex", file.Ints({0, 1, 2, ~3, 1, 4, ~2}), 1, {}}}};
  Node model{"Model", file.Long(20) + file.Text(std::string("Quad\0\1Model", 11)) + file.Text("Mesh"), 3, {}};
  Node material{"Material",
                file.Long(30) + file.Text(std::string("Paint\0\1Material", 15)) + file.Text(""),
                3,
                {{"ShadingModel", file.Text("phong"), 1, {}},
                 {"Properties70",
                  "",
                  0,
                  {{"P",
                    file.Text("DiffuseColor") + file.Text("Color") + file.Text("") + file.Text("A") + "D" +
                        std::string(8, '\0') + "D" + std::string(8, '\0') + "D" + std::string(8, '\0'),
                    7,
                    {}}}}}};
  // Animation curves keep their values as 32-bit floats; nothing here reads them, but the file must still be read.
  Node curve{"AnimationCurve",
             file.Long(40) + file.Text(std::string("\0\1AnimCurve", 11)) + file.Text(""),
             3,
             {{"KeyValueFloat", file.Floats({0.5f, 1.5f, -2.25f}), 1, {}}}};
  Node objects{"Objects", "", 0, {geometry, model, material, curve}};
  auto link = [&](int64_t from, int64_t to) {
    return Node{"C", file.Text("OO") + file.Long(from) + file.Long(to), 3, {}};
  };
  Node connections{"Connections", "", 0, {link(20, 0), link(10, 20), link(30, 20)}};
  std::string bytes = file.Finish({header, objects, connections});

  ScratchFolder folder;
  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "s");
  fbxtest::Imported imported = fbxtest::ImportBytes(*manager, *scene, folder, bytes);
  ASSERT_TRUE(imported.ok) << imported.Error();
  EXPECT_EQ(imported.version, variant.version);

  FbxNode* node = scene->GetRootNode()->GetChild(0);
  ASSERT_NE(node, nullptr);
  EXPECT_STREQ(node->GetName(), "Quad");
  FbxMesh* mesh = node->GetMesh();
  ASSERT_NE(mesh, nullptr);
  ASSERT_EQ(mesh->GetControlPointsCount(), 5);
  EXPECT_EQ(mesh->GetControlPointAt(4), FbxVector4(2, 2, 2, 1));
  EXPECT_EQ(mesh->GetControlPointAt(2), FbxVector4(1, 1, 0, 1));
  ASSERT_EQ(mesh->GetPolygonCount(), 2);
  EXPECT_EQ(mesh->GetPolygonSize(0), 4);
  EXPECT_EQ(mesh->GetPolygonSize(1), 3);
  EXPECT_EQ(mesh->GetPolygonVertex(0, 3), 3);
  EXPECT_EQ(mesh->GetPolygonVertex(1, 2), 2);
  EXPECT_EQ(mesh->GetPolygonVertex(0, 4), -1) << "no corner past a polygon's last";
  EXPECT_EQ(mesh->GetPolygonVertex(1, 3), -1);
  EXPECT_EQ(mesh->GetPolygonVertex(2, 0), -1) << "no polygon past the last";
  ASSERT_EQ(node->GetMaterialCount(), 1);
  auto* phong = FbxCast<FbxSurfacePhong>(node->GetMaterial(0));
  ASSERT_NE(phong, nullptr);
  EXPECT_STREQ(phong->GetName(), "Paint");
  EXPECT_EQ(phong->Diffuse.Get(), FbxDouble3(0, 0, 0));
  manager->Destroy();
}

INSTANTIATE_TEST_SUITE_P(Layouts, BinaryVariantsTest,
                         ::testing::Values(Variant{7400, false, false, "v7400_plain"},
                                           Variant{7500, false, true, "v7500_wide_compressed"},
                                           Variant{7100, true, false, "v7100_big_endian"},
                                           Variant{7700, true, true, "v7700_big_endian_wide_compressed"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
