// Kinds of file that real exporters write and an earlier reader refused or read empty, each made
// here in both encodings where the kind exists in both: what the scene does not use is skipped
// with a warning, and only what cannot be delimited is refused.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

#include "BinaryFbxFile.h"
#include "TestScene.h"

namespace {

using Node = fbxtest::BinaryFbxFile::Node;

class ExporterKindsTest : public ::testing::Test {
protected:
  void SetUp() override {
    manager = FbxManager::Create();
    scene = FbxScene::Create(manager, "s");
  }
  void TearDown() override { manager->Destroy(); }

  fbxtest::Imported Read(const std::string& bytes) {
    scene->Clear();
    return fbxtest::ImportBytes(*manager, *scene, folder, bytes);
  }

  std::vector<std::string> RootChildren() const {
    std::vector<std::string> names;
    for (int c = 0; c < scene->GetRootNode()->GetChildCount(); ++c)
      names.push_back(scene->GetRootNode()->GetChild(c)->GetName());
    return names;
  }

  FbxManager* manager = nullptr;
  FbxScene* scene = nullptr;
  ScratchFolder folder;
};

// A triangle mesh "Tri" as a 7.x geometry: three points, one polygon.
Node Triangle(fbxtest::BinaryFbxFile& file, int64_t id, std::vector<Node> extra = {}) {
  std::vector<Node> children = {{"Vertices", file.Doubles({0, 0, 0, 1, 0, 0, 0, 1, 0}), 1, {}},
                                {"PolygonVertexIndex", file.Ints({0, 1, ~2}), 1, {}}};
  children.insert(children.end(), extra.begin(), extra.end());
  return Node{"Geometry", file.Long(id) + file.Text(std::string("Tri\0\1Geometry", 13)) + file.Text("Mesh"), 3,
              children};
}

Node ModelNode(fbxtest::BinaryFbxFile& file, int64_t id, const std::string& name, const char* kind = "Mesh") {
  return Node{"Model", file.Long(id) + file.Text(name + std::string("\0\1Model", 7)) + file.Text(kind), 3, {}};
}

Node Link(fbxtest::BinaryFbxFile& file, int64_t from, int64_t to) {
  return Node{"C", file.Text("OO") + file.Long(from) + file.Long(to), 3, {}};
}

Node Header(fbxtest::BinaryFbxFile& file, int version, std::vector<Node> extra = {}) {
  Node header{"FBXHeaderExtension", "", 0, {{"FBXVersion", file.Int(version), 1, {}}}};
  header.children.insert(header.children.end(), extra.begin(), extra.end());
  return header;
}

TEST_F(ExporterKindsTest, Version6100ConnectsObjectsByNameInBothEncodings) {
  // Binary 6100 names objects "Name\0\1Class" and connects them by those names; ASCII says "Class::Name".
  fbxtest::BinaryFbxFile file(6100, false, false);
  auto name = [](const std::string& object, const std::string& cls) { return object + std::string("\0\1", 2) + cls; };
  Node model{"Model",
             file.Text(name("Box", "Model")) + file.Text("Mesh"),
             2,
             {{"Vertices", file.Doubles({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}), 1, {}},
              {"PolygonVertexIndex", file.Ints({0, 1, 2, ~3}), 1, {}}}};
  Node material{"Material", file.Text(name("Paint", "Material")) + file.Text(""), 2, {}};
  Node camera{"Model", file.Text(name("Producer Top", "Model")) + file.Text("Camera"), 2, {}};
  auto connect = [&](const std::string& from, const std::string& to) {
    return Node{"Connect", file.Text("OO") + file.Text(from) + file.Text(to), 3, {}};
  };
  std::string binary = file.Finish({Header(file, 6100),
                                    {"Objects", "", 0, {camera, model, material}},
                                    {"Connections",
                                     "",
                                     0,
                                     {connect(name("Box", "Model"), name("Scene", "Model")),
                                      connect(name("Paint", "Material"), name("Box", "Model"))}}});
  std::string ascii =
      "; FBX 6.1.0 project file\nFBXHeaderExtension:  {\n\tFBXVersion: 6100\n}\nObjects:  {\n"
      "\tModel: \"Model::Producer Top\", \"Camera\" {\n\t}\n"
      "\tModel: \"Model::Box\", \"Mesh\" {\n\t\tVertices: 0,0,0,1,0,0,1,1,0,0,1,0\n\t\tPolygonVertexIndex: "
      "0,1,2,-4\n\t}\n"
      "\tMaterial: \"Material::Paint\", \"\" {\n\t}\n}\n"
      "Connections:  {\n\tConnect: \"OO\", \"Model::Box\", \"Model::Scene\"\n"
      "\tConnect: \"OO\", \"Material::Paint\", \"Model::Box\"\n}\n";
  for (const std::string& bytes : {binary, ascii}) {
    fbxtest::Imported imported = Read(bytes);
    ASSERT_TRUE(imported.ok) << imported.Error();
    EXPECT_EQ(RootChildren(), (std::vector<std::string>{"Producer Top", "Box"})) << imported.binary;
    FbxNode* box = scene->GetRootNode()->GetChild(1);
    ASSERT_NE(box->GetMesh(), nullptr);
    EXPECT_EQ(box->GetMesh()->GetPolygonCount(), 1);
    ASSERT_EQ(box->GetMaterialCount(), 1);
    EXPECT_STREQ(box->GetMaterial(0)->GetName(), "Paint");
  }
}

TEST_F(ExporterKindsTest, NodesWithoutAParentNodeBelongToTheRootInFileOrderInBothEncodings) {
  // The same scene in both encodings: one node connected to the root, one to another node, two nowhere.
  fbxtest::BinaryFbxFile file(7700, false, true);
  std::string binary =
      file.Finish({Header(file, 7700),
                   {"Objects",
                    "",
                    0,
                    {Triangle(file, 1), ModelNode(file, 10, "Camera", "Camera"), ModelNode(file, 11, "Cube"),
                     ModelNode(file, 12, "Child", "Null"), ModelNode(file, 13, "curve1", "NurbsCurve")}},
                   {"Connections", "", 0, {Link(file, 11, 0), Link(file, 1, 11), Link(file, 12, 10)}}});
  std::string ascii =
      "; FBX 7.7.0 project file\nFBXHeaderExtension:  {\n\tFBXVersion: 7700\n}\nObjects:  {\n"
      "\tModel: 10, \"Model::Camera\", \"Camera\" {\n\t}\n\tModel: 11, \"Model::Cube\", \"Mesh\" {\n\t}\n"
      "\tModel: 12, \"Model::Child\", \"Null\" {\n\t}\n\tModel: 13, \"Model::curve1\", \"NurbsCurve\" {\n\t}\n}\n"
      "Connections:  {\n\tC: \"OO\",11,0\n\tC: \"OO\",12,10\n}\n";
  for (const std::string& bytes : {binary, ascii}) {
    fbxtest::Imported imported = Read(bytes);
    ASSERT_TRUE(imported.ok) << imported.Error();
    EXPECT_EQ(RootChildren(), (std::vector<std::string>{"Camera", "Cube", "curve1"})) << imported.binary;
    EXPECT_EQ(scene->GetRootNode()->GetChild(0)->GetChildCount(), 1);
  }
}

TEST_F(ExporterKindsTest, PropertyTypesTheReaderDoesNotKnowAreSkippedWithAWarning) {
  for (bool bigEndian : {false, true}) {
    fbxtest::BinaryFbxFile file(7500, bigEndian, false);
    // An audio clip's property with a one-byte 'Z' value, and a thumbnail's 'c' (byte) array.
    Node audio{
        "AudioLayer",
        file.Long(50) + file.Text(std::string("Audio\0\1AudioLayer", 17)) + file.Text(""),
        3,
        {{"Properties70",
          "",
          0,
          {{"P", file.Text("Channels") + file.Text("UByte") + file.Text("") + file.Text("") + "Z" + "\x02", 5, {}},
           {"P", file.Text("Mute") + file.Text("bool") + file.Text("") + file.Text("") + "C" + "\x01", 5, {}}}}}};
    Node thumbnail{"Thumbnail", "", 0, {{"ImageData", file.RawArray('c', 4, "\x01\x02\x03\x04"), 1, {}}}};
    std::string bytes = file.Finish({Header(file, 7500, {thumbnail}),
                                     {"Objects", "", 0, {audio, Triangle(file, 1), ModelNode(file, 2, "Tri")}},
                                     {"Connections", "", 0, {Link(file, 2, 0), Link(file, 1, 2)}}});
    fbxtest::Imported imported = Read(bytes);
    ASSERT_TRUE(imported.ok) << imported.Error();
    ASSERT_NE(scene->GetRootNode()->GetChild(0)->GetMesh(), nullptr);
    EXPECT_TRUE(imported.Warned({"unknown type 'Z'", "'P'", "byte "})) << imported.warnings.size();
    EXPECT_TRUE(imported.Warned({"unknown type 'c'", "'ImageData'"}));
  }
}

TEST_F(ExporterKindsTest, AZeroEndOffsetEndsTheRecordAfterItsValues) {
  for (int version : {7400, 7500}) {
    fbxtest::BinaryFbxFile file(version, false, false);
    Node creator{"Creator", file.Text("FBX SDK/FBX Plugins"), 1, {}, true};
    std::string bytes = file.Finish({Header(file, version, {creator}),
                                     {"Objects", "", 0, {Triangle(file, 1), ModelNode(file, 2, "Tri")}},
                                     {"Connections", "", 0, {Link(file, 2, 0), Link(file, 1, 2)}}});
    fbxtest::Imported imported = Read(bytes);
    ASSERT_TRUE(imported.ok) << imported.Error();
    EXPECT_EQ(RootChildren(), std::vector<std::string>{"Tri"});
    EXPECT_TRUE(imported.Warned({"'Creator'", "no end offset"}));
  }
}

TEST_F(ExporterKindsTest, WhatCannotBeDelimitedIsStillRefused) {
  // An unknown type in a list whose length runs past its record: nothing says where it ends.
  fbxtest::BinaryFbxFile file(7400, false, false);
  Node bad{"P", file.Text("Channels") + "Z\x02", 2, {}};
  std::string bytes = file.Finish({Header(file, 7400), {"Objects", "", 0, {bad}}});
  size_t list = bytes.find("Channels") - 5 - 1 - 13 + 8;  // the P record's list length field
  bytes[list] = '\x7f';
  fbxtest::Imported imported = Read(bytes);
  EXPECT_FALSE(imported.ok);
  EXPECT_NE(imported.Error().find("property list of 'P'"), std::string::npos) << imported.Error();
}

TEST_F(ExporterKindsTest, ArraysTheSceneDoesNotHoldAreNotInflated) {
  // Normals, tangents, edges and smoothing are stepped over by their extent: even data that would
  // not inflate does not stop the import.
  fbxtest::BinaryFbxFile file(7400, false, true);
  Node normals{
      "LayerElementNormal",
      file.Int(0),
      1,
      {{"MappingInformationType", file.Text("ByPolygonVertex"), 1, {}}, {"Normals", file.BrokenArray('d', 9), 1, {}}}};
  Node edges{"Edges", file.BrokenArray('i', 3), 1, {}};
  std::string bytes = file.Finish({Header(file, 7400),
                                   {"Objects", "", 0, {Triangle(file, 1, {edges, normals}), ModelNode(file, 2, "Tri")}},
                                   {"Connections", "", 0, {Link(file, 2, 0), Link(file, 1, 2)}}});
  fbxtest::Imported imported = Read(bytes);
  ASSERT_TRUE(imported.ok) << imported.Error();
  EXPECT_EQ(scene->GetRootNode()->GetChild(0)->GetMesh()->GetControlPointsCount(), 3);

  // The vertices are inflated and checked.
  fbxtest::BinaryFbxFile broken(7400, false, true);
  Node geometry{"Geometry",
                broken.Long(1) + broken.Text(std::string("Tri\0\1Geometry", 13)) + broken.Text("Mesh"),
                3,
                {{"Vertices", broken.BrokenArray('d', 9), 1, {}}}};
  imported = Read(broken.Finish({Header(broken, 7400), {"Objects", "", 0, {geometry}}}));
  EXPECT_FALSE(imported.ok);
  EXPECT_NE(imported.Error().find("does not inflate"), std::string::npos) << imported.Error();
}

TEST_F(ExporterKindsTest, AsciiValuesAndBlocksMayStartOnTheNextLine) {
  // Blender's 6100 animation keys put their values, with bare letters, on the line after the name;
  // some writers open a block on the line after its record.
  fbxtest::Imported imported = Read(
      "; FBX 6.1.0 project file\nFBXHeaderExtension:  {\n\tFBXVersion: 6100\n}\n"
      "Objects:  {\n\tModel: \"Model::Cube\", \"Mesh\"\n\t{\n"
      "\t\tVertices: 0,0,0,1,0,0,0,1,0\n\t\tPolygonVertexIndex: 0,1,-3\n\t}\n}\n"
      "Connections:  {\n\tConnect: \"OO\", \"Model::Cube\", \"Model::Scene\"\n}\n"
      "Takes:  {\n\tTake: \"Default Take\" {\n\t\tModel: \"Model::Cube\" {\n\t\t\tChannel: \"X\" {\n"
      "\t\t\t\tKeyCount: 1\n\t\t\t\tKey: \n\t\t\t\t\t1924423250,0.000000000000000,L\n"
      "\t\t\t\tColor: 1,0,0\n\t\t\t}\n\t\t}\n\t}\n}\n");
  ASSERT_TRUE(imported.ok) << imported.Error();
  ASSERT_EQ(RootChildren(), std::vector<std::string>{"Cube"});
  ASSERT_NE(scene->GetRootNode()->GetChild(0)->GetMesh(), nullptr);
  EXPECT_EQ(scene->GetRootNode()->GetChild(0)->GetMesh()->GetPolygonCount(), 1);
}

TEST_F(ExporterKindsTest, UvSetsWithoutValuesAreLeftOutInBothEncodings) {
  fbxtest::BinaryFbxFile file(7400, false, false);
  auto uvSet = [&](const char* name, std::vector<double> uvs) {
    return Node{"LayerElementUV",
                file.Int(uvs.empty() ? 0 : 1),
                1,
                {{"Name", file.Text(name), 1, {}},
                 {"MappingInformationType", file.Text("ByControlPoint"), 1, {}},
                 {"ReferenceInformationType", file.Text("Direct"), 1, {}},
                 {"UV", file.Doubles(uvs), 1, {}}}};
  };
  std::string binary = file.Finish(
      {Header(file, 7400),
       {"Objects",
        "",
        0,
        {Triangle(file, 1, {uvSet("empty", {}), uvSet("map1", {0, 0, 1, 0, 0, 1})}), ModelNode(file, 2, "Tri")}},
       {"Connections", "", 0, {Link(file, 2, 0), Link(file, 1, 2)}}});
  std::string ascii =
      "; FBX 7.4.0 project file\nFBXHeaderExtension:  {\n\tFBXVersion: 7400\n}\nObjects:  {\n"
      "\tGeometry: 1, \"Geometry::Tri\", \"Mesh\" {\n\t\tVertices: *9 {\n\t\t\ta: 0,0,0,1,0,0,0,1,0\n\t\t}\n"
      "\t\tPolygonVertexIndex: *3 {\n\t\t\ta: 0,1,-3\n\t\t}\n"
      "\t\tLayerElementUV: 0 {\n\t\t\tName: \"empty\"\n\t\t\tMappingInformationType: \"ByControlPoint\"\n"
      "\t\t\tReferenceInformationType: \"Direct\"\n\t\t\tUV: *0 {\n\t\t\t\ta: \n\t\t\t}\n\t\t}\n"
      "\t\tLayerElementUV: 1 {\n\t\t\tName: \"map1\"\n\t\t\tMappingInformationType: \"ByControlPoint\"\n"
      "\t\t\tReferenceInformationType: \"Direct\"\n\t\t\tUV: *6 {\n\t\t\t\ta: 0,0,1,0,0,1\n\t\t\t}\n\t\t}\n\t}\n"
      "\tModel: 2, \"Model::Tri\", \"Mesh\" {\n\t}\n}\nConnections:  {\n\tC: \"OO\",2,0\n\tC: \"OO\",1,2\n}\n";
  for (const std::string& bytes : {binary, ascii}) {
    fbxtest::Imported imported = Read(bytes);
    ASSERT_TRUE(imported.ok) << imported.Error();
    FbxMesh* mesh = scene->GetRootNode()->GetChild(0)->GetMesh();
    ASSERT_EQ(mesh->GetElementUVCount(), 1) << imported.binary;
    EXPECT_STREQ(mesh->GetElementUV(0)->GetName(), "map1");
    EXPECT_TRUE(imported.Warned({"'empty'", "no UVs"}));
  }
}

TEST_F(ExporterKindsTest, AUvSetWhoseCornersAllSayNoUvIsKept) {
  // What the plug-in writes for a model without UVs: an empty direct array, -1 for every corner.
  fbxtest::Imported imported = Read(
      "; FBX 7.4.0 project file\nFBXHeaderExtension:  {\n\tFBXVersion: 7400\n}\nObjects:  {\n"
      "\tGeometry: 1, \"Geometry::Tri\", \"Mesh\" {\n\t\tVertices: *9 {\n\t\t\ta: 0,0,0,1,0,0,0,1,0\n\t\t}\n"
      "\t\tPolygonVertexIndex: *3 {\n\t\t\ta: 0,1,-3\n\t\t}\n"
      "\t\tLayerElementUV: 0 {\n\t\t\tName: \"map1\"\n\t\t\tMappingInformationType: \"ByPolygonVertex\"\n"
      "\t\t\tReferenceInformationType: \"IndexToDirect\"\n\t\t\tUV: *0 {\n\t\t\t\ta: \n\t\t\t}\n"
      "\t\t\tUVIndex: *3 {\n\t\t\t\ta: -1,-1,-1\n\t\t\t}\n\t\t}\n\t}\n"
      "\tModel: 2, \"Model::Tri\", \"Mesh\" {\n\t}\n}\nConnections:  {\n\tC: \"OO\",2,0\n\tC: \"OO\",1,2\n}\n");
  ASSERT_TRUE(imported.ok) << imported.Error();
  FbxLayerElementUV* uvs = scene->GetRootNode()->GetChild(0)->GetMesh()->GetElementUV("map1");
  ASSERT_NE(uvs, nullptr);
  EXPECT_EQ(uvs->GetIndexArray().GetCount(), 3);
}

TEST_F(ExporterKindsTest, CornersMustNameAnExistingControlPointInBothEncodings) {
  // One past the end: the corner equal to the number of control points.
  fbxtest::BinaryFbxFile file(7400, false, false);
  Node geometry{"Geometry",
                file.Long(1) + file.Text(std::string("Tri\0\1Geometry", 13)) + file.Text("Mesh"),
                3,
                {{"Vertices", file.Doubles({0, 0, 0, 1, 0, 0, 0, 1, 0}), 1, {}},
                 {"PolygonVertexIndex", file.Ints({0, 1, ~3}), 1, {}}}};
  std::string binary = file.Finish({Header(file, 7400), {"Objects", "", 0, {geometry}}});
  std::string ascii =
      "; FBX 7.4.0 project file\nFBXHeaderExtension:  {\n\tFBXVersion: 7400\n}\nObjects:  {\n"
      "\tGeometry: 1, \"Geometry::Tri\", \"Mesh\" {\n\t\tVertices: *9 {\n\t\t\ta: 0,0,0,1,0,0,0,1,0\n\t\t}\n"
      "\t\tPolygonVertexIndex: *3 {\n\t\t\ta: 0,1,-4\n\t\t}\n\t}\n}\n";
  for (const std::string& bytes : {binary, ascii}) {
    fbxtest::Imported imported = Read(bytes);
    EXPECT_FALSE(imported.ok);
    EXPECT_NE(imported.Error().find("refers to control point 3 of 3"), std::string::npos) << imported.Error();
  }
}

TEST_F(ExporterKindsTest, ShadingModelsAreReadWhateverTheirCaseAndShortValuesInTheFilesByteOrder) {
  // Blender writes "Phong"; a shininess stored as a 16-bit integer reads the same in either byte order.
  for (bool bigEndian : {false, true}) {
    fbxtest::BinaryFbxFile file(7400, bigEndian, false);
    Node material{"Material",
                  file.Long(3) + file.Text(std::string("Body\0\1Material", 14)) + file.Text(""),
                  3,
                  {{"ShadingModel", file.Text("Phong"), 1, {}},
                   {"Properties70",
                    "",
                    0,
                    {{"P",
                      file.Text("ShininessExponent") + file.Text("double") + file.Text("Number") + file.Text("") +
                          file.Short(300),
                      5,
                      {}}}}}};
    std::string bytes = file.Finish({Header(file, 7400),
                                     {"Objects", "", 0, {Triangle(file, 1), ModelNode(file, 2, "Tri"), material}},
                                     {"Connections", "", 0, {Link(file, 2, 0), Link(file, 1, 2), Link(file, 3, 2)}}});
    fbxtest::Imported imported = Read(bytes);
    ASSERT_TRUE(imported.ok) << imported.Error();
    FbxNode* node = scene->GetRootNode()->GetChild(0);
    ASSERT_EQ(node->GetMaterialCount(), 1);
    auto* phong = FbxCast<FbxSurfacePhong>(node->GetMaterial(0));
    ASSERT_NE(phong, nullptr) << "read as Lambert";
    EXPECT_EQ(phong->Shininess.Get(), 300.0) << (bigEndian ? "big-endian" : "little-endian");
  }
}

TEST_F(ExporterKindsTest, FoldersAndFifosAreRefusedWithoutWaiting) {
  fbxtest::Imported imported = fbxtest::Import(*manager, *scene, folder.Root().string());
  EXPECT_FALSE(imported.ok);
  EXPECT_NE(imported.Error().find("is a directory"), std::string::npos) << imported.Error();

  std::string fifo = folder.Path("pipe.fbx");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  imported = fbxtest::Import(*manager, *scene, fifo);  // would block for ever if it opened for reading
  EXPECT_FALSE(imported.ok);
  EXPECT_NE(imported.Error().find("not a regular file"), std::string::npos) << imported.Error();

  std::string output;
  EXPECT_EQ(fbxtest::RunCommand(std::string(FBX_TOOLS_DIR) + "/fbxinfo '" + fifo + "' '" + folder.Root().string() + "'",
                                &output),
            1);
  EXPECT_NE(output.find("pipe.fbx\terror: "), std::string::npos) << output;
  EXPECT_NE(output.find("is a directory"), std::string::npos) << output;
}

TEST_F(ExporterKindsTest, FbxinfoListsWarningsAndLeavesMeshColumnsEmptyWithoutAMesh) {
  fbxtest::BinaryFbxFile file(7400, false, false);
  Node creator{"Creator", file.Text("x"), 1, {}, true};
  std::string path = folder.Write(
      "camera.fbx", file.Finish({Header(file, 7400, {creator}),
                                 {"Objects", "", 0, {ModelNode(file, 2, "Cam", "Camera"), Triangle(file, 1)}}}));
  std::string output;
  ASSERT_EQ(fbxtest::RunCommand(std::string(FBX_TOOLS_DIR) + "/fbxinfo --warnings '" + path + "'", &output), 0)
      << output;
  EXPECT_NE(output.find("camera.fbx\t7400\tbinary\tCam\tCam\tno\t\t\t\t\t\t\t\t\t\n"), std::string::npos) << output;
  EXPECT_NE(output.find("warning: byte "), std::string::npos) << output;
  EXPECT_NE(output.find("'Creator' gives no end offset"), std::string::npos) << output;
}

}  // namespace
