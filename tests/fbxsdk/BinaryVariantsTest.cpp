// Binary files as other writers lay them out: 64-bit records, compressed arrays, big-endian byte order.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "TestScene.h"

namespace {

// A small encoder for hand-made binary files, independent of the library's writer.
class BinaryFile {
public:
  BinaryFile(int version, bool bigEndian, bool compress)
      : wide_(version >= 7500), bigEndian_(bigEndian), compress_(compress) {
    bytes_.assign("Kaydara FBX Binary  \0\x1a", 22);
    bytes_.push_back(bigEndian ? 1 : 0);
    Number(static_cast<uint32_t>(version), 4);
  }

  struct Node {
    std::string name;
    std::string values;  // encoded properties
    int count = 0;
    std::vector<Node> children;
  };

  std::string Int(int32_t v) { return "I" + Encode(static_cast<uint32_t>(v), 4); }
  std::string Long(int64_t v) { return "L" + Encode(static_cast<uint64_t>(v), 8); }
  std::string Text(const std::string& s) { return "S" + Encode(static_cast<uint32_t>(s.size()), 4) + s; }
  std::string Doubles(const std::vector<double>& values) {
    std::string raw;
    for (double v : values) {
      uint64_t bits;
      std::memcpy(&bits, &v, 8);
      raw += Encode(bits, 8);
    }
    return Array('d', values.size(), raw);
  }
  std::string Ints(const std::vector<int32_t>& values) {
    std::string raw;
    for (int32_t v : values) raw += Encode(static_cast<uint32_t>(v), 4);
    return Array('i', values.size(), raw);
  }

  std::string Finish(const std::vector<Node>& top) {
    for (const Node& node : top) Write(node);
    bytes_.append(wide_ ? 25 : 13, '\0');
    return bytes_;
  }

private:
  std::string Encode(uint64_t v, int width) const {
    std::string out(static_cast<size_t>(width), '\0');
    for (int i = 0; i < width; ++i)
      out[static_cast<size_t>(bigEndian_ ? width - 1 - i : i)] = static_cast<char>(v >> (8 * i));
    return out;
  }
  void Number(uint64_t v, int width) { bytes_ += Encode(v, width); }

  std::string Array(char type, size_t length, const std::string& raw) {
    std::string stored = raw;
    if (compress_) {
      uLongf size = compressBound(raw.size());
      stored.assign(size, '\0');
      compress(reinterpret_cast<Bytef*>(stored.data()), &size, reinterpret_cast<const Bytef*>(raw.data()), raw.size());
      stored.resize(size);
    }
    return std::string(1, type) + Encode(length, 4) + Encode(compress_ ? 1 : 0, 4) + Encode(stored.size(), 4) + stored;
  }

  void Write(const Node& node) {
    int width = wide_ ? 8 : 4;
    size_t start = bytes_.size();
    Number(0, width);
    Number(static_cast<uint64_t>(node.count), width);
    Number(node.values.size(), width);
    bytes_.push_back(static_cast<char>(node.name.size()));
    bytes_ += node.name + node.values;
    if (!node.children.empty()) {
      for (const Node& child : node.children) Write(child);
      bytes_.append(wide_ ? 25 : 13, '\0');
    }
    std::string end = Encode(bytes_.size(), width);
    bytes_.replace(start, static_cast<size_t>(width), end);
  }

  bool wide_, bigEndian_, compress_;
  std::string bytes_;
};

struct Variant {
  int version;
  bool bigEndian;
  bool compress;
  const char* name;
};

class BinaryVariantsTest : public ::testing::TestWithParam<Variant> {};

TEST_P(BinaryVariantsTest, ReadsMeshNodeAndMaterial) {
  const Variant& variant = GetParam();
  BinaryFile file(variant.version, variant.bigEndian, variant.compress);
  using Node = BinaryFile::Node;
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
  Node objects{"Objects", "", 0, {geometry, model, material}};
  auto link = [&](int64_t from, int64_t to) {
    return Node{"C", file.Text("OO") + file.Long(from) + file.Long(to), 3, {}};
  };
  Node connections{"Connections", "", 0, {link(20, 0), link(10, 20), link(30, 20)}};
  std::string bytes = file.Finish({header, objects, connections});

  ScratchFolder folder;
  ScratchFolder::WriteFile(folder.Path("variant.fbx"), bytes);
  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "s");
  FbxImporter* importer = FbxImporter::Create(manager, "");
  ASSERT_TRUE(importer->Initialize(folder.Path("variant.fbx").c_str())) << importer->GetStatus().GetErrorString();
  int major, minor, revision;
  importer->GetFileVersion(major, minor, revision);
  EXPECT_EQ(major * 1000 + minor * 100 + revision, variant.version);
  ASSERT_TRUE(importer->Import(scene)) << importer->GetStatus().GetErrorString();

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
