// What either writer writes, the reader reads back the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>

#include "TestScene.h"

namespace {

using fbxtest::BuildPluginLikeScene;

struct Encoding {
  int writer;
  const char* name;
};

class RoundTripTest : public ::testing::TestWithParam<Encoding> {
protected:
  void SetUp() override {
    manager = FbxManager::Create();
    manager->SetIOSettings(FbxIOSettings::Create(manager, IOSROOT));
    written = FbxScene::Create(manager, "Written");
    read = FbxScene::Create(manager, "Read");
  }
  void TearDown() override { manager->Destroy(); }

  FbxNode* WriteAndRead(bool polygonWithoutUVs = false) {
    original = BuildPluginLikeScene(*manager, *written, polygonWithoutUVs);
    std::string path = folder.Path("scene.fbx"), error;
    EXPECT_TRUE(fbxtest::Save(*manager, *written, path, GetParam().writer, &error)) << error;
    FbxStatus status;
    EXPECT_TRUE(fbxtest::Load(*manager, *read, path, &status)) << status.GetErrorString();
    return read->GetRootNode()->GetChild(0);
  }

  FbxManager* manager = nullptr;
  FbxScene* written = nullptr;
  FbxScene* read = nullptr;
  fbxtest::PluginLikeScene original;
  ScratchFolder folder;
};

TEST_P(RoundTripTest, KeepsNodeGeometryAndUVs) {
  FbxNode* node = WriteAndRead();
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(read->GetRootNode()->GetChildCount(), 1);
  EXPECT_STREQ(node->GetName(), "Head");
  FbxMesh* mesh = node->GetMesh();
  ASSERT_NE(mesh, nullptr);
  EXPECT_STREQ(mesh->GetName(), "HeadShape");

  FbxMesh* source = original.mesh;
  ASSERT_EQ(mesh->GetControlPointsCount(), source->GetControlPointsCount());
  for (int i = 0; i < mesh->GetControlPointsCount(); ++i)
    for (int k = 0; k < 4; ++k) EXPECT_EQ(mesh->GetControlPoints()[i][k], source->GetControlPoints()[i][k]);

  ASSERT_EQ(mesh->GetPolygonCount(), 7);
  EXPECT_EQ(mesh->GetPolygonSize(6), 3);
  ASSERT_EQ(mesh->GetPolygonVertexCount(), source->GetPolygonVertexCount());
  for (int p = 0; p < mesh->GetPolygonCount(); ++p) {
    ASSERT_EQ(mesh->GetPolygonSize(p), source->GetPolygonSize(p));
    EXPECT_EQ(mesh->GetPolygonVertexIndex(p), source->GetPolygonVertexIndex(p));
    for (int k = 0; k < mesh->GetPolygonSize(p); ++k)
      EXPECT_EQ(mesh->GetPolygonVertex(p, k), source->GetPolygonVertex(p, k));
  }

  ASSERT_EQ(mesh->GetElementUVCount(), 1);
  FbxLayerElementUV* uvs = mesh->GetElementUV("map1");
  ASSERT_NE(uvs, nullptr);
  EXPECT_EQ(uvs->GetMappingMode(), FbxLayerElement::eByPolygonVertex);
  EXPECT_EQ(uvs->GetReferenceMode(), FbxLayerElement::eIndexToDirect);
  FbxLayerElementUV* sourceUVs = source->GetElementUV("map1");
  EXPECT_EQ(uvs->GetIndexArray().Items(), sourceUVs->GetIndexArray().Items());
  ASSERT_EQ(uvs->GetDirectArray().GetCount(), sourceUVs->GetDirectArray().GetCount());
  for (int i = 0; i < uvs->GetDirectArray().GetCount(); ++i)
    EXPECT_EQ(uvs->GetDirectArray().GetAt(i), sourceUVs->GetDirectArray().GetAt(i)) << "UV " << i;

  FbxDocumentInfo* info = read->GetDocumentInfo();
  ASSERT_NE(info, nullptr);
  EXPECT_STREQ(info->mTitle.Buffer(), "Head");
  EXPECT_STREQ(info->mRevision.Buffer(), "rev. 1.0");
}

TEST_P(RoundTripTest, CornersWithoutUVsKeepTheirMinusOneIndex) {
  FbxNode* node = WriteAndRead(true);
  ASSERT_NE(node, nullptr);
  FbxLayerElementUV* uvs = node->GetMesh()->GetElementUV("map1");
  ASSERT_NE(uvs, nullptr);
  EXPECT_EQ(uvs->GetDirectArray().GetCount(), 23);
  const std::vector<int>& indices = uvs->GetIndexArray().Items();
  ASSERT_EQ(indices.size(), 27u);
  EXPECT_EQ(std::count(indices.begin(), indices.end(), -1), 4);
  EXPECT_EQ(indices[16], -1);
  EXPECT_EQ(indices[20], 16);
}

TEST_P(RoundTripTest, KeepsMaterialsPerPolygonWithTheirColoursAndTextures) {
  FbxNode* node = WriteAndRead();
  ASSERT_NE(node, nullptr);
  ASSERT_EQ(node->GetMaterialCount(), 2);
  EXPECT_EQ(node->GetMaterialIndex("left_arm"), 1);
  EXPECT_EQ(node->GetMaterialIndex("missing"), -1);

  FbxLayerElementMaterial* element = node->GetMesh()->GetElementMaterial(0);
  ASSERT_NE(element, nullptr);
  EXPECT_EQ(element->GetMappingMode(), FbxLayerElement::eByPolygon);
  EXPECT_EQ(element->GetReferenceMode(), FbxLayerElement::eIndexToDirect);
  EXPECT_EQ(element->GetIndexArray().Items(), (std::vector<int>{0, 0, 1, 0, 0, 1, 0}));

  for (int m = 0; m < 2; ++m) {
    auto* phong = FbxCast<FbxSurfacePhong>(node->GetMaterial(m));
    ASSERT_NE(phong, nullptr) << "material " << m << " is not Phong";
    FbxSurfacePhong* source = original.materials[m];
    EXPECT_STREQ(phong->GetName(), source->GetName());
    EXPECT_EQ(phong->Ambient.Get(), source->Ambient.Get());
    EXPECT_EQ(phong->AmbientFactor.Get(), source->AmbientFactor.Get());
    EXPECT_EQ(phong->Diffuse.Get(), source->Diffuse.Get());
    EXPECT_EQ(phong->DiffuseFactor.Get(), source->DiffuseFactor.Get());
    EXPECT_EQ(phong->Specular.Get(), source->Specular.Get());
    EXPECT_EQ(phong->SpecularFactor.Get(), source->SpecularFactor.Get());
    EXPECT_EQ(phong->BumpFactor.Get(), source->BumpFactor.Get());
    EXPECT_EQ(phong->DisplacementFactor.Get(), source->DisplacementFactor.Get());
  }

  auto textureOn = [&](int material, const char* channel) -> std::string {
    FbxProperty property = node->GetMaterial(material)->FindProperty(channel);
    if (property.GetSrcObjectCount() != 1) return "(" + std::to_string(property.GetSrcObjectCount()) + " textures)";
    auto* texture = FbxCast<FbxFileTexture>(property.GetSrcObject(0));
    return texture ? texture->GetFileName() : "(not a file texture)";
  };
  EXPECT_EQ(textureOn(0, FbxSurfaceMaterial::sDiffuse), "/textures/color map.png");
  EXPECT_EQ(textureOn(1, FbxSurfaceMaterial::sSpecularFactor), "/textures/specular.tif");
  EXPECT_EQ(textureOn(1, FbxSurfaceMaterial::sNormalMap), "/textures/normal.png");
  EXPECT_EQ(textureOn(1, FbxSurfaceMaterial::sDiffuse), "(0 textures)");
  EXPECT_EQ(textureOn(0, FbxSurfaceMaterial::sSpecularFactor), "(0 textures)");
}

TEST_P(RoundTripTest, KeepsWhereEachTextureIsPlaced) {
  original = BuildPluginLikeScene(*manager, *written);
  FbxFileTexture* placed = original.textures[0];
  placed->SetTranslation(0.25, -0.5);
  placed->SetScale(2.0, 3.0);
  placed->SetRotation(10.0, 20.0, 30.0);
  placed->SetSwapUV(true);
  std::string path = folder.Path("placed.fbx"), error;
  ASSERT_TRUE(fbxtest::Save(*manager, *written, path, GetParam().writer, &error)) << error;
  FbxStatus status;
  ASSERT_TRUE(fbxtest::Load(*manager, *read, path, &status)) << status.GetErrorString();
  FbxNode* node = read->GetRootNode()->GetChild(0);
  ASSERT_NE(node, nullptr);
  FbxProperty diffuse = node->GetMaterial(0)->FindProperty(FbxSurfaceMaterial::sDiffuse);
  ASSERT_EQ(diffuse.GetSrcObjectCount(), 1);
  auto* texture = FbxCast<FbxFileTexture>(diffuse.GetSrcObject(0));
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->GetTranslation(), FbxDouble2(0.25, -0.5));
  EXPECT_EQ(texture->GetScale(), FbxDouble2(2.0, 3.0));
  EXPECT_EQ(texture->GetRotation(), FbxDouble3(10.0, 20.0, 30.0));
  EXPECT_TRUE(texture->GetSwapUV());
  auto* plain =
      FbxCast<FbxFileTexture>(node->GetMaterial(1)->FindProperty(FbxSurfaceMaterial::sNormalMap).GetSrcObject(0));
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->GetScale(), FbxDouble2(1.0, 1.0));
  EXPECT_FALSE(plain->GetSwapUV());
}

TEST_P(RoundTripTest, EveryDoubleComesBackBitForBit) {
  FbxNode* node = FbxNode::Create(manager, "values");
  FbxMesh* mesh = FbxMesh::Create(manager, "valuesShape");
  node->SetNodeAttribute(mesh);
  written->GetRootNode()->AddChild(node);
  const double tricky[] = {0.1,
                           0.2,
                           0.3,
                           1.0 / 3.0,
                           2.0 / 3.0,
                           1e-7,
                           1.5e-7,
                           9.999999e7,
                           1e8,
                           123456.789,
                           -0.001,
                           -2.5,
                           1e300,
                           -1e-300,
                           4.9e-324,
                           0.1 + 0.2,
                           3 * 0.01,
                           0.07,
                           1e23,
                           9007199254740993.0,
                           0.30000000000000004,
                           12345678.9,
                           99999999.99999999};
  const int count = static_cast<int>(std::size(tricky));
  mesh->InitControlPoints(count);
  for (int i = 0; i < count; ++i) mesh->SetControlPointAt(FbxVector4(tricky[i], -tricky[i], tricky[i] / 7.0), i);

  std::string path = folder.Path("values.fbx");
  ASSERT_TRUE(fbxtest::Save(*manager, *written, path, GetParam().writer));
  ASSERT_TRUE(fbxtest::Load(*manager, *read, path));
  FbxMesh* back = read->GetRootNode()->GetChild(0)->GetMesh();
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(back->GetControlPointsCount(), count);
  for (int i = 0; i < count; ++i)
    for (int k = 0; k < 3; ++k)
      EXPECT_EQ(back->GetControlPointAt(i)[k], mesh->GetControlPointAt(i)[k]) << "value " << i << " component " << k;
}

TEST_P(RoundTripTest, LeavesOnlyTheFinishedFile) {
  BuildPluginLikeScene(*manager, *written);
  ASSERT_TRUE(fbxtest::Save(*manager, *written, folder.Path("a.fbx"), GetParam().writer));
  ASSERT_TRUE(fbxtest::Save(*manager, *written, folder.Path("a.fbx"), GetParam().writer));  // replaces
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Root().string())) {
    EXPECT_EQ(entry.path().filename(), "a.fbx");
    ++files;
  }
  EXPECT_EQ(files, 1u);
  FbxScene* read = FbxScene::Create(manager, "read");
  fbxtest::Imported imported = fbxtest::Import(*manager, *read, folder.Path("a.fbx"));
  ASSERT_TRUE(imported.ok) << imported.Error();
  EXPECT_EQ(imported.version, 7400);
  EXPECT_EQ(imported.binary, GetParam().writer == 0);
}

INSTANTIATE_TEST_SUITE_P(BothWriters, RoundTripTest, ::testing::Values(Encoding{0, "binary"}, Encoding{1, "ascii"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
