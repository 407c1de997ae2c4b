// ASCII files as other writers lay them out: wrapped value lists, older name-keyed objects,
// exporters' spellings of special numbers, layers named or implied.
#include <gtest/gtest.h>

#include <cmath>

#include "TestScene.h"

namespace {

class AsciiVariantsTest : public ::testing::Test {
protected:
  void SetUp() override {
    manager = FbxManager::Create();
    scene = FbxScene::Create(manager, "s");
  }
  void TearDown() override { manager->Destroy(); }

  FbxNode* Read(const std::string& text) {
    ScratchFolder::WriteFile(folder.Path("in.fbx"), text);
    FbxStatus status;
    EXPECT_TRUE(fbxtest::Load(*manager, *scene, folder.Path("in.fbx"), &status)) << status.GetErrorString();
    return scene->GetRootNode()->GetChild(0);
  }

  FbxManager* manager = nullptr;
  FbxScene* scene = nullptr;
  ScratchFolder folder;
};

TEST_F(AsciiVariantsTest, OlderFilesKeyObjectsByNameAndWrapLongLists) {
  FbxNode* node = Read(
      "; FBX 6.1.0 project file\n"
      "FBXHeaderExtension:  {\n    FBXVersion: 6100\n}\n"
      "Objects:  {\n"
      "    Model: \"Model::Box\", \"Mesh\" {\n"
      "        Vertices: 0,0,0,1,0,0,1,1,0\n"
      "        ,0,1,0\n"
      "        PolygonVertexIndex: 0,1,2,\n"
      "        -4\n"
      "        LayerElementUV: 0 {\n"
      "            Name: \"UVChannel_1\"\n"
      "            MappingInformationType: \"ByPolygonVertex\"\n"
      "            ReferenceInformationType: \"IndexToDirect\"\n"
      "            UV: 0,0,1,0,1,1,0,1\n"
      "            UVIndex: 0,1,2,3\n"
      "        }\n"
      "    }\n"
      "    Material: \"Material::Clouds\", \"\" {\n"
      "        ShadingModel: \"lambert\"\n"
      "        Properties60:  {\n"
      "            Property: \"Diffuse\", \"ColorRGB\", \"\",0.5,0.25,1\n"
      "        }\n"
      "    }\n"
      "}\n"
      "Connections:  {\n"
      "    Connect: \"OO\", \"Model::Box\", \"Model::Scene\"\n"
      "    Connect: \"OO\", \"Material::Clouds\", \"Model::Box\"\n"
      "}\n");
  ASSERT_NE(node, nullptr);
  EXPECT_STREQ(node->GetName(), "Box");
  FbxMesh* mesh = node->GetMesh();
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->GetControlPointsCount(), 4);
  ASSERT_EQ(mesh->GetPolygonCount(), 1);
  EXPECT_EQ(mesh->GetPolygonSize(0), 4);
  EXPECT_EQ(mesh->GetPolygonVertex(0, 3), 3);
  ASSERT_NE(mesh->GetElementUV("UVChannel_1"), nullptr);
  EXPECT_EQ(mesh->GetElementUV("UVChannel_1")->GetDirectArray().GetAt(2), FbxVector2(1, 1));
  ASSERT_EQ(node->GetMaterialCount(), 1);
  auto* lambert = FbxCast<FbxSurfaceLambert>(node->GetMaterial(0));
  ASSERT_NE(lambert, nullptr);
  EXPECT_EQ(FbxCast<FbxSurfacePhong>(lambert), nullptr);
  EXPECT_EQ(lambert->Diffuse.Get(), FbxDouble3(0.5, 0.25, 1));  // the older property name
}

TEST_F(AsciiVariantsTest, LongPlainListsKeepEveryNumber) {
  std::string vertices, corners;
  for (int i = 0; i < 40; ++i) {
    vertices += (i ? "," : "") + std::to_string(i) + "," + (i == 20 ? "0.5" : "0") + ",-" + std::to_string(i);
    if (i % 7 == 6) vertices += "\n        ";
  }
  for (int i = 0; i < 39; ++i) corners += std::to_string(i) + ",";
  corners += "-40";
  FbxNode* node = Read(
      "FBXHeaderExtension:  {\n    FBXVersion: 6100\n}\nObjects:  {\n"
      "    Model: \"Model::Fan\", \"Mesh\" {\n        Vertices: " +
      vertices + "\n        PolygonVertexIndex: " + corners +
      "\n    }\n}\n"
      "Connections:  {\n    Connect: \"OO\", \"Model::Fan\", \"Model::Scene\"\n}\n");
  ASSERT_NE(node, nullptr);
  FbxMesh* mesh = node->GetMesh();
  ASSERT_NE(mesh, nullptr);
  ASSERT_EQ(mesh->GetControlPointsCount(), 40);
  EXPECT_EQ(mesh->GetControlPointAt(20), FbxVector4(20, 0.5, -20, 1));
  EXPECT_EQ(mesh->GetControlPointAt(39), FbxVector4(39, 0, -39, 1));
  ASSERT_EQ(mesh->GetPolygonCount(), 1);
  EXPECT_EQ(mesh->GetPolygonSize(0), 40);
  EXPECT_EQ(mesh->GetPolygonVertex(0, 39), 39);
}

const char* kHeader = "FBXHeaderExtension:  {\n\tFBXVersion: 7500\n}\n";

TEST_F(AsciiVariantsTest, SpecialNumbersQuotesCommentsAndEmbeddedContent) {
  FbxNode* node = Read(std::string(kHeader) +
                       "; a comment line\n"
                       "Objects:  {\n"
                       "\tGeometry: 5, \"Geometry::\", \"Mesh\" {  ; trailing comment\n"
                       "\t\tVertices: *6 {\n\t\t\ta: -1.#IND,-0.#INF,1.#INF,2.5e-1,1E2,-0\n\t\t} \n"
                       "\t}\n"
                       "\tModel: 6, \"Model::say &quot;hi&quot;\", \"Mesh\" {\n"
                       "\t\tShading: T\n"
                       "\t}\n"
                       "\tVideo: 7, \"Video::clip\", \"Clip\" {\n"
                       "\t\tContent: ,\n \"iVBORw0KGgo=\"\n"
                       "\t}\n"
                       "}\n"
                       "Connections:  {\n\tC: \"OO\",6,0\n\tC: \"OO\",5,6\n}\n");
  ASSERT_NE(node, nullptr);
  EXPECT_STREQ(node->GetName(), "say \"hi\"");
  ASSERT_NE(node->GetMesh(), nullptr);
  ASSERT_EQ(node->GetMesh()->GetControlPointsCount(), 2);
  FbxVector4 first = node->GetMesh()->GetControlPointAt(0), second = node->GetMesh()->GetControlPointAt(1);
  EXPECT_TRUE(std::isnan(first[0]));
  EXPECT_EQ(first[1], -INFINITY);
  EXPECT_EQ(first[2], INFINITY);
  EXPECT_EQ(second, FbxVector4(0.25, 100, 0, 1));
}

TEST_F(AsciiVariantsTest, LayersDecideUVSetOrderAndUnusableElementsAreDropped) {
  std::string uv = [] {
    std::string sets;
    const char* names[3] = {"Zero", "One", "Broken"};
    for (int i = 0; i < 3; ++i)
      sets += "\t\tLayerElementUV: " + std::to_string(i) + " {\n\t\t\tName: \"" + names[i] +
              "\"\n\t\t\tMappingInformationType: \"" + (i == 2 ? "" : "ByControlPoint") +
              "\"\n\t\t\tUV: *6 {\n\t\t\t\ta: 0,0,1,0,1,1\n\t\t\t}\n\t\t}\n";
    return sets;
  }();
  FbxNode* node =
      Read(std::string(kHeader) +
           "Objects:  {\n"
           "\tGeometry: 5, \"Geometry::\", \"Mesh\" {\n"
           "\t\tVertices: *9 {\n\t\t\ta: 0,0,0,1,0,0,1,1,0\n\t\t}\n"
           "\t\tPolygonVertexIndex: *3 {\n\t\t\ta: 0,1,-3\n\t\t}\n" +
           uv +
           "\t\tLayerElementMaterial: 0 {\n\t\t\tMappingInformationType: \"AllSame\"\n"
           "\t\t\tReferenceInformationType: \"IndexToDirect\"\n\t\t\tMaterials: *1 {\n\t\t\t\ta: 0\n\t\t\t}\n\t\t}\n"
           "\t\tLayer: 1 {\n\t\t\tLayerElement:  {\n\t\t\t\tType: \"LayerElementUV\"\n\t\t\t\tTypedIndex: "
           "0\n\t\t\t}\n\t\t}\n"
           "\t\tLayer: 0 {\n\t\t\tLayerElement:  {\n\t\t\t\tType: \"LayerElementUV\"\n\t\t\t\tTypedIndex: 1\n\t\t\t}\n"
           "\t\t\tLayerElement:  {\n\t\t\t\tType: \"LayerElementMaterial\"\n\t\t\t\tTypedIndex: 0\n\t\t\t}\n\t\t}\n"
           "\t}\n"
           "\tModel: 6, \"Model::Tri\", \"Mesh\" {\n\t}\n"
           "}\n"
           "Connections:  {\n\tC: \"OO\",6,0\n\tC: \"OO\",5,6\n}\n");
  ASSERT_NE(node, nullptr);
  FbxMesh* mesh = node->GetMesh();
  ASSERT_NE(mesh, nullptr);
  ASSERT_EQ(mesh->GetElementUVCount(), 2);
  EXPECT_STREQ(mesh->GetElementUV(0)->GetName(), "One");  // layer 0 names typed index 1
  EXPECT_STREQ(mesh->GetElementUV(1)->GetName(), "Zero");
  EXPECT_EQ(mesh->GetElementUV("Broken"), nullptr);
  EXPECT_EQ(mesh->GetElementUV(0)->GetMappingMode(), FbxLayerElement::eByControlPoint);
  EXPECT_EQ(mesh->GetElementUV(0)->GetReferenceMode(), FbxLayerElement::eDirect);
  FbxLayerElementMaterial* materials = mesh->GetElementMaterial(0);
  ASSERT_NE(materials, nullptr);
  EXPECT_EQ(materials->GetMappingMode(), FbxLayerElement::eAllSame);
  EXPECT_EQ(mesh->GetLayer(0)->GetMaterials(), materials);
}

TEST_F(AsciiVariantsTest, NodesWithoutAParentNodeBelongToTheRootInFileOrder) {
  int objectsBefore = manager->GetObjectCount();
  FbxNode* first = Read(std::string(kHeader) +
                        "Objects:  {\n"
                        "\tModel: 1, \"Model::B\", \"Null\" {\n\t}\n"
                        "\tModel: 2, \"Model::A\", \"Null\" {\n\t}\n"
                        "\tModel: 3, \"Model::A_child\", \"Null\" {\n\t}\n"
                        "\tModel: 4, \"Model::Unconnected\", \"NurbsCurve\" {\n\t}\n"
                        "\tMaterial: 5, \"Material::unused\", \"\" {\n\t}\n"
                        "}\n"
                        "Connections:  {\n\tC: \"OO\",2,0\n\tC: \"OO\",3,2\n\tC: \"OO\",1,0\n\tC: \"OO\",99,0\n}\n");
  ASSERT_NE(first, nullptr);
  FbxNode* root = scene->GetRootNode();
  ASSERT_EQ(root->GetChildCount(), 3);
  EXPECT_STREQ(root->GetChild(0)->GetName(), "B");
  EXPECT_STREQ(root->GetChild(1)->GetName(), "A");
  EXPECT_STREQ(root->GetChild(2)->GetName(), "Unconnected");
  EXPECT_EQ(root->GetChild(1)->GetChildCount(), 1);
  EXPECT_EQ(first->GetChildCount(), 0);
  EXPECT_EQ(first->GetMesh(), nullptr);
  EXPECT_EQ(manager->GetObjectCount(), objectsBefore + 4);  // the unused material is gone
}

// Objects are made as the file is read, yet links listed before them still join them, and a
// second Objects section adds nothing.
TEST_F(AsciiVariantsTest, OnlyTheFirstObjectsSectionCountsWhereverTheLinksAre) {
  int objectsBefore = manager->GetObjectCount();
  FbxNode* first = Read(std::string(kHeader) + "Connections:  {\n\tC: \"OO\",2,1\n\tC: \"OO\",1,0\n}\n" +
                        "Objects:  {\n"
                        "\tModel: 1, \"Model::Parent\", \"Null\" {\n\t}\n"
                        "\tModel: 2, \"Model::Child\", \"Null\" {\n\t}\n"
                        "}\n"
                        "Objects:  {\n\tModel: 3, \"Model::Stray\", \"Null\" {\n\t}\n}\n");
  ASSERT_NE(first, nullptr);
  ASSERT_EQ(scene->GetRootNode()->GetChildCount(), 1);
  EXPECT_STREQ(first->GetName(), "Parent");
  ASSERT_EQ(first->GetChildCount(), 1);
  EXPECT_STREQ(first->GetChild(0)->GetName(), "Child");
  EXPECT_EQ(manager->GetObjectCount(), objectsBefore + 2);
}

// A material's entries as careless writers leave them: a name given twice (the first counts), an
// older file's name beside the current one (the current counts), and an entry without a name,
// which names no property.
TEST_F(AsciiVariantsTest, AMaterialTakesTheFirstEntryOfEachNameAndNothingFromANamelessOne) {
  FbxNode* node = Read(std::string(kHeader) +
                       "Objects:  {\n"
                       "\tModel: 1, \"Model::M\", \"Null\" {\n\t}\n"
                       "\tMaterial: 2, \"Material::red\", \"\" {\n"
                       "\t\tShadingModel: \"phong\"\n"
                       "\t\tProperties70:  {\n"
                       "\t\t\tP: \"\", \"Number\", \"\", \"A\",0.125\n"
                       "\t\t\tP: \"Diffuse\", \"Vector3D\", \"Vector\", \"\",0,0,1\n"
                       "\t\t\tP: \"DiffuseColor\", \"Color\", \"\", \"A\",1,0,0\n"
                       "\t\t\tP: \"DiffuseColor\", \"Color\", \"\", \"A\",0,1,0\n"
                       "\t\t\tP: \"Ambient\", \"Vector3D\", \"Vector\", \"\",0.5,0.5,0.5\n"
                       "\t\t}\n"
                       "\t}\n"
                       "}\n"
                       "Connections:  {\n\tC: \"OO\",1,0\n\tC: \"OO\",2,1\n}\n");
  ASSERT_NE(node, nullptr);
  auto* phong = FbxCast<FbxSurfacePhong>(node->GetMaterial(0));
  ASSERT_NE(phong, nullptr);
  EXPECT_EQ(phong->Diffuse.Get(), FbxDouble3(1, 0, 0));
  EXPECT_EQ(phong->Ambient.Get(), FbxDouble3(0.5, 0.5, 0.5));  // only the older name is given
  EXPECT_EQ(phong->DiffuseFactor.Get(), 1.0);
  EXPECT_EQ(phong->TransparencyFactor.Get(), 0.0);
  EXPECT_EQ(phong->Shininess.Get(), 20.0);
}

}  // namespace
