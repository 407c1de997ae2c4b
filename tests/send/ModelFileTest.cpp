// The model file: what our reader and assimp read from "export.fbx" after a
// send, compared with the host model itself.
#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>

#include "SendFixture.h"
#include "fbx/FbxContext.h"

using namespace pigmora;

namespace fs = std::filesystem;

namespace {

using assimpview::AssimpView;
using assimpview::Numbers;
using assimpview::Point;
using assimpview::ReadWithAssimp;
using Face = assimpview::Face;

void ExpectSamePolygons(const std::vector<SentPolygon>& sent, const std::vector<SentPolygon>& expected) {
  ASSERT_EQ(sent.size(), expected.size());
  for (std::size_t p = 0; p < sent.size(); ++p) {
    EXPECT_EQ(sent[p].corners, expected[p].corners) << "polygon " << p;
    EXPECT_EQ(sent[p].uvs, expected[p].uvs) << "polygon " << p;
    EXPECT_EQ(sent[p].material, expected[p].material) << "polygon " << p;
  }
}

// Assimp sees the same faces per material, the same UVs and colors.
void ExpectAssimpAgrees(const AssimpView& view, const SentModel& sent, const std::vector<SentPolygon>& expected) {
  std::map<std::string, std::vector<Face>> faces;
  std::set<Point> uvs;
  bool cornerWithoutUV = false;
  for (const SentPolygon& polygon : expected) {
    faces[polygon.material].push_back(polygon.corners);
    for (const Point& uv : polygon.uvs) {
      if (uv.empty())
        cornerWithoutUV = true;
      else
        uvs.insert(uv);
    }
  }
  EXPECT_EQ(view.faces, faces);
  std::set<Point> seen(view.uvs.begin(), view.uvs.end());
  if (cornerWithoutUV) seen.erase(Rounded({0.0, 0.0}));  // how assimp fills corners without one
  uvs.erase(Rounded({0.0, 0.0}));
  EXPECT_EQ(seen, uvs);
  for (const auto& [name, diffuse] : sent.diffuse) {
    if (!faces.count(name)) continue;  // assimp leaves out materials no face uses
    auto lines = view.materials.at(name);
    std::vector<double> kd = Numbers(lines["Kd"]), ka = Numbers(lines["Ka"]);
    ASSERT_EQ(kd.size(), 3u) << name;
    ASSERT_EQ(ka.size(), 3u) << name;
    const FbxDouble3 ambient = sent.ambient.at(name);
    for (int c = 0; c < 3; ++c) {
      EXPECT_NEAR(kd[c], diffuse[c] * sent.factors.at(name).at("DiffuseFactor"), 1e-5) << name;
      EXPECT_NEAR(ka[c], ambient[c] * sent.factors.at(name).at("AmbientFactor"), 1e-5) << name;
    }
  }
}

using Channels = std::map<std::string, std::vector<std::string>>;

TEST_F(SendTest, TheSampleArrivesWithItsGeometryUVsMaterialsAndTextures) {
  Send(Sample());
  ASSERT_TRUE(Boxes().empty());
  const SentModel sent = ReadWithOurReader(ModelFile().string());
  const std::vector<SentPolygon> expected = ExpectedPolygons(*Sample());
  ExpectSamePolygons(sent.polygons, expected);
  EXPECT_EQ(sent.nodeName, "Sample");
  EXPECT_EQ(sent.meshName, "SampleShape");
  EXPECT_EQ(sent.title, "Sample");
  EXPECT_EQ(sent.materials, (std::vector<std::string>{"default", "head_cap", "default1", "lower_body"}));

  // Colors arrive red first; only the head cap has a material head.
  EXPECT_EQ(sent.diffuse.at("head_cap"), FbxDouble3(0.96f, 0.80f, 0.62f));
  EXPECT_EQ(sent.diffuse.at("default"), FbxDouble3(0.7f, 0.7f, 0.7f));
  EXPECT_EQ(sent.factors.at("head_cap").at("SpecularFactor"), 0.3f);
  EXPECT_EQ(sent.factors.at("head_cap").at("DisplacementFactor"), 0.5);
  EXPECT_EQ(sent.factors.at("head_cap").at("BumpFactor"), 0.75);
  EXPECT_EQ(sent.factors.at("lower_body").at("DisplacementFactor"), 1.0);
  EXPECT_EQ(sent.factors.at("lower_body").at("BumpFactor"), 1.0);

  const std::string color = ImageFile("sample_color"), normal = ImageFile("sample_normal");
  EXPECT_EQ(sent.textures.count("default"), 0u) << "no polygon uses the model's own material";
  EXPECT_EQ(sent.textures.at("head_cap"), (Channels{{"DiffuseColor", {color}}}));
  EXPECT_EQ(sent.textures.at("default1"), (Channels{{"DiffuseColor", {color}}, {"NormalMap", {normal}}}));
  EXPECT_EQ(sent.textures.at("lower_body"), (Channels{{"DiffuseColor", {color}}}));

  if (!HaveAssimp()) GTEST_SKIP() << "assimp is not on PATH (Debian package assimp-utils)";
  const AssimpView view = ReadWithAssimp(ModelFile().string(), scratch_.Root());
  ExpectAssimpAgrees(view, sent, expected);
  EXPECT_EQ(view.materials.at("head_cap").at("map_Kd"), color);
  EXPECT_EQ(view.materials.at("default1").at("map_Kd"), color);
  EXPECT_EQ(view.materials.at("default1").at("map_bump"), normal);
  EXPECT_EQ(view.materials.at("lower_body").count("map_bump"), 0u);
}

// An OBJ model with two groups ("left arm", "default"), a triangle, a face
// without material or UVs, and maps on every channel the send carries.
class ObjSendTest : public SendTest {
protected:
  HModelCache* ImportModel() {
    const fs::path folder = scratch_.Root() / "obj";
    for (const char* image :
         {"skin.png", "skin_spec.png", "cloth.png", "cloth_ao.png", "cloth_nrm.png", "cloth_disp.png"})
      ScratchFolder::WriteFile(folder / image, "image bytes");
    ScratchFolder::WriteFile(folder / "figure.mtl",
                             "newmtl skin\nKd 0.8 0.6 0.4\nKa 0.1 0.2 0.3\nKs 0.5 0.5 0.5\n"
                             "map_Kd skin.png\nmap_Ks skin_spec.png\n"
                             "newmtl cloth\nKd 0.2 0.3 0.9\nmap_Kd cloth.png\nmap_Ka cloth_ao.png\n"
                             "norm cloth_nrm.png\ndisp cloth_disp.png\n");
    std::string obj = "mtllib figure.mtl\n";
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 3; ++x) obj += "v " + std::to_string(x) + " " + std::to_string(y) + " 0.5\n";
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 3; ++x) obj += "vt " + std::to_string(x * 0.5) + " " + std::to_string(y * 0.25) + "\n";
    obj +=
        "f 1 2 5 4\n"
        "g left arm\nusemtl skin\nf 2/2 3/3 6/6 5/5\nf 4/4 5/5 8/8\n"
        "g default\nusemtl cloth\nf 5/5 6/6 9/9 8/8\n";
    ScratchFolder::WriteFile(folder / "figure.obj", obj);
    String error, warnings;
    HModelCache* model = ImportObjFile(project_, (folder / "figure.obj").string().c_str(), error, warnings);
    EXPECT_NE(model, nullptr) << error.Get();
    EXPECT_TRUE(warnings.IsEmpty()) << warnings.Get();
    return model;
  }
  std::string Image(const char* name) const { return (scratch_.Root() / "obj" / name).string(); }
};

TEST_F(ObjSendTest, AnObjModelArrivesWithGroupsTrianglesMissingUVsAndEveryChannel) {
  HModelCache* model = ImportModel();
  ASSERT_NE(model, nullptr);
  Send(model);
  ASSERT_TRUE(Boxes().empty());
  const SentModel sent = ReadWithOurReader(ModelFile().string());
  const std::vector<SentPolygon> expected = ExpectedPolygons(*model);
  ExpectSamePolygons(sent.polygons, expected);
  ASSERT_EQ(sent.polygons.size(), 4u);
  EXPECT_EQ(sent.polygons[2].corners.size(), 3u) << "a triangle keeps three corners";
  EXPECT_EQ(sent.polygons[0].uvs, std::vector<Point>(4)) << "a face without UVs";
  EXPECT_EQ(sent.polygons[1].uvs[0], Rounded({0.5, 0.0})) << "the file's v comes back";
  EXPECT_EQ(sent.materials, (std::vector<std::string>{"default", "left_arm", "default1"}));
  EXPECT_EQ(sent.diffuse.at("left_arm"), FbxDouble3(0.8f, 0.6f, 0.4f));
  EXPECT_EQ(sent.ambient.at("left_arm"), FbxDouble3(0.1f, 0.2f, 0.3f));
  EXPECT_EQ(sent.specular.at("left_arm"), FbxDouble3(0.5f, 0.5f, 0.5f));
  EXPECT_EQ(sent.textures.at("left_arm"),
            (Channels{{"DiffuseColor", {Image("skin.png")}}, {"SpecularFactor", {Image("skin_spec.png")}}}));
  EXPECT_EQ(sent.textures.at("default1"), (Channels{{"DiffuseColor", {Image("cloth.png")}},
                                                    {"AmbientFactor", {Image("cloth_ao.png")}},
                                                    {"NormalMap", {Image("cloth_nrm.png")}},
                                                    {"DisplacementColor", {Image("cloth_disp.png")}}}));

  if (!HaveAssimp()) GTEST_SKIP() << "assimp is not on PATH (Debian package assimp-utils)";
  const AssimpView view = ReadWithAssimp(ModelFile().string(), scratch_.Root());
  ExpectAssimpAgrees(view, sent, expected);
  EXPECT_EQ(view.materials.at("left_arm").at("map_Kd"), Image("skin.png"));
  EXPECT_EQ(view.materials.at("left_arm").at("map_Ks"), Image("skin_spec.png"));
  EXPECT_EQ(view.materials.at("default1").at("map_Kd"), Image("cloth.png"));
  EXPECT_EQ(view.materials.at("default1").at("map_bump"), Image("cloth_nrm.png"));
}

TEST_F(SendTest, ASecondSendReplacesTheModelFileAndTheScene) {
  HModelCache* small = HModelCache::New("Small", 1);
  small->AddPosition(1.5f, -2.0f, 3.0f);
  small->AddPosition(0, 0, 0);
  small->AddPosition(0, 1, 0);
  small->AddPatch(0, 1, 2);
  Send(Sample());
  Send(small);
  const SentModel sent = ReadWithOurReader(ModelFile().string());
  EXPECT_EQ(sent.nodeName, "Small");
  EXPECT_EQ(sent.meshName, "SmallShape");
  ASSERT_EQ(sent.polygons.size(), 1u);
  EXPECT_EQ(sent.polygons[0].corners[0], Rounded({1.5, -2.0, 3.0}));
  EXPECT_EQ(sent.materials, std::vector<std::string>{"default"});
  EXPECT_EQ(state_.Plugin().Fbx.Scene()->GetRootNode()->GetChildCount(), 1) << "the first model left the scene";
}

TEST_F(SendTest, EightBitNamesThatAreNotUtf8PassAsTheirBytes) {
  // The host's text is 8-bit in its code page: "tête" and "épaule" in Latin-1.
  const std::string head = "t\xEAte", shoulder = "\xE9paule gauche";
  ScratchFolder::WriteFile(scratch_.Root() / (head + ".png"), "image bytes");
  const std::string imagePath = (scratch_.Root() / (head + ".png")).string();
  HModelCache* model = HModelCache::New(head.c_str(), 1);
  model->AddPosition(0, 0, 0);
  model->AddPosition(1, 0, 0);
  model->AddPosition(0, 1, 0);
  model->AddPatch(0, 1, 2);
  model->AddGroup(shoulder.c_str())->AddPatch(0);
  HDecal* decal = model->AddDecal("paint");
  decal->AddDecalClip(project_->AddImage(imagePath.c_str()))->GetKind()->SetValue(HDK_COLOR);
  const float uv[4][2] = {{0, 0}, {1, 0}, {0, 1}, {0, 0}};
  decal->SetPatchUV(0, uv);
  Send(model);
  ASSERT_TRUE(Boxes().empty());

  const SentModel sent = ReadWithOurReader(ModelFile().string());
  EXPECT_EQ(sent.nodeName, head);
  EXPECT_EQ(sent.title, head);
  EXPECT_EQ(sent.materials, (std::vector<std::string>{"default", "\xE9paule_gauche"}));
  EXPECT_EQ(sent.textures.at("\xE9paule_gauche").at("DiffuseColor"), std::vector<std::string>{imagePath});

  if (!HaveAssimp()) GTEST_SKIP() << "assimp is not on PATH (Debian package assimp-utils)";
  const AssimpView view = ReadWithAssimp(ModelFile().string(), scratch_.Root());
  EXPECT_EQ(view.faces.count("\xE9paule_gauche"), 1u);
  EXPECT_EQ(view.materials.at("\xE9paule_gauche").at("map_Kd"), imagePath);
}

}  // namespace
