#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "ModelTestSupport.h"
#include "Plugin.h"
#include "Plugin/HostProject.h"
#include "ScratchFolder.h"

namespace {

// Two groups on a strip of three quads and a pentagon; the second group's
// material has a colour, a normal and a displacement map.
const char* kObj =
    "# strip\n"
    "mtllib strip.mtl\n"
    "v 0 0 0\nv 1 0 0\nv 2 0 0\nv 3 0 0\nv 0 1 0\nv 1 1 0\nv 2 1 0\nv 3 1 0\nv 4 0.5 0\n"
    "vt 0 0\nvt 0.25 0\nvt 0.5 0\nvt 0.75 0\nvt 0 1\nvt 0.25 1\nvt 0.5 1\nvt 0.75 1\nvt 1 0.5\n"
    "g left arm\nusemtl skin\n"
    "f 1/1 2/2 6/6 5/5\n"
    "g cloth\nusemtl denim\n"
    "f 2/2 3/3 7/7 6/6\n"
    "f 3/3 4/4 8/8 7/7\n"
    "f 4/4 9/9 8/8 7/7 3/3\n";

const char* kMtl =
    "newmtl skin\nKd 0.9 0.6 0.4\nKa 0.1 0.1 0.1\nKs 0 0 0\nNs 12\nd 1\n"
    "newmtl denim\nKd 0.1 0.2 0.7\nKs 0.5 0.5 0.5\nNs 40\nd 0.75\n"
    "map_Kd denim.tga\nnorm denim_n.tga\ndisp denim_d.tga\n";

class ObjFiles : public ::testing::Test {
protected:
  void SetUp() override { project_ = CreateHostProject(false); }
  void TearDown() override { DestroyHostProject(project_); }

  std::string WriteStrip(bool withMtl = true, bool withImages = true) {
    if (withMtl) temp_.Write("strip.mtl", kMtl);
    if (withImages) {
      for (const char* name : {"denim.tga", "denim_n.tga", "denim_d.tga"})
        temp_.Write(name, ImageBytes("denim pixels"));
    }
    return temp_.Write("strip.obj", kObj);
  }
  std::string Tree() {
    std::ostringstream out;
    PrintProjectTree(project_, out);
    return out.str();
  }

  ScratchFolder temp_;
  HProject* project_ = nullptr;
};

struct DecalFact {
  std::string file;
  int kind;
  int patches;
  bool operator<(const DecalFact& o) const {
    return std::tie(file, kind, patches) < std::tie(o.file, o.kind, o.patches);
  }
  bool operator==(const DecalFact& o) const = default;
};

std::set<DecalFact> DecalFacts(HModelCache& model) {
  std::set<DecalFact> facts;
  for (HDecal* decal : Decals(model)) {
    HDecalClip* clip = decal->GetChildDecalClipContainer()->GetChildDecalClip();
    std::string file = clip->GetClip()->GetClip()->GetFilename()->GetValue().Get();
    facts.insert({file.substr(file.find_last_of('/') + 1), clip->GetKind()->GetValue(), decal->GetPatchCount()});
  }
  return facts;
}

}  // namespace

TEST_F(ObjFiles, ImportReadsGroupsMaterialsUVsAndTextureMaps) {
  String error, warnings;
  HModelCache* model = ImportObjFile(project_, WriteStrip().c_str(), error, warnings);
  ASSERT_NE(model, nullptr) << error.Get();
  EXPECT_TRUE(warnings.IsEmpty()) << warnings.Get();
  EXPECT_EQ(model->GetName(), String("strip"));
  EXPECT_EQ(FindTreeObjectByPath(project_, "Objects/strip"), model);
  EXPECT_EQ(model->GetPositionCount(), 9);
  ASSERT_EQ(model->GetPatchCount(), 6) << "three quads and a pentagon in three triangles";
  EXPECT_EQ(model->GetPatch(0)->GetCornerCount(), 4);
  EXPECT_EQ(model->GetPatch(3)->GetCornerCount(), 3);
  EXPECT_EQ(model->GetPatch(5)->GetCornerCount(), 3);

  HGroup* arm = GroupNamed(*model, "left arm");
  HGroup* cloth = GroupNamed(*model, "cloth");
  ASSERT_NE(arm, nullptr);
  ASSERT_NE(cloth, nullptr);
  EXPECT_EQ(arm->GetPatchCount(), 1);
  EXPECT_EQ(cloth->GetPatchCount(), 5);
  RGBFloat skin = arm->GetAttr()->GetDiffuseColor()->GetFactoredRGBFloat();
  EXPECT_FLOAT_EQ(skin.red, 0.9f);
  EXPECT_FLOAT_EQ(skin.blue, 0.4f);
  EXPECT_FLOAT_EQ(arm->GetAttr()->GetAmbiance()->GetValue(), 1.0f);
  EXPECT_FLOAT_EQ(arm->GetAttr()->GetSpecularIntensity()->GetValue(), 0.0f);
  EXPECT_FLOAT_EQ(cloth->GetAttr()->GetSpecularIntensity()->GetValue(), 1.0f);
  EXPECT_FLOAT_EQ(cloth->GetAttr()->GetSpecularSize()->GetValue(), 40.0f);
  EXPECT_FLOAT_EQ(cloth->GetAttr()->GetTransparency()->GetValue(), 0.25f);

  EXPECT_EQ(DecalFacts(*model),
            (std::set<DecalFact>{
                {"denim.tga", HDK_COLOR, 5}, {"denim_n.tga", HDK_NORMAL, 5}, {"denim_d.tga", HDK_DISPLACEMENT, 5}}));
  float uv[4][2];
  ASSERT_TRUE(Decals(*model)[0]->GetPatchUV(1, uv));
  EXPECT_FLOAT_EQ(uv[0][0], 0.25f);
  EXPECT_FLOAT_EQ(uv[0][1], 1.0f) << "the host's v is 1 - OBJ's v";
  EXPECT_FLOAT_EQ(uv[2][1], 0.0f);
  EXPECT_EQ(project_->GetChildClipCacheContainer()->CountChildren(), 3);
  EXPECT_EQ(SplineEdges(*model).size(), PatchEdges(*model).size());
  EXPECT_NE(Tree().find("Model \"strip\" patches=6 cps=9"), std::string::npos) << Tree();
}

TEST_F(ObjFiles, SavedObjReadsBackWithTheSameModel) {
  String error, warnings;
  HModelCache* first = ImportObjFile(project_, WriteStrip().c_str(), error, warnings);
  ASSERT_NE(first, nullptr) << error.Get();
  std::filesystem::create_directory(temp_.Root() / "out");
  const std::string saved = temp_.Path("out/copy.obj");
  ASSERT_EQ(SaveModelAsObj(first, saved.c_str(), error, warnings), 1) << error.Get();
  EXPECT_TRUE(warnings.IsEmpty()) << warnings.Get();
  ASSERT_TRUE(std::filesystem::exists(temp_.Path("out/copy.mtl")));
  String refused;
  EXPECT_EQ(SaveModelAsObj(first, temp_.Path("missing/copy.obj").c_str(), refused, warnings), 0);
  EXPECT_NE(std::string(refused.Get()).find("missing/copy"), std::string::npos) << refused.Get();

  HModelCache* second = ImportObjFile(project_, saved.c_str(), error, warnings);
  ASSERT_NE(second, nullptr) << error.Get();
  EXPECT_TRUE(warnings.IsEmpty()) << warnings.Get();
  ASSERT_EQ(second->GetPositionCount(), first->GetPositionCount());
  for (int i = 0; i < first->GetPositionCount(); ++i) EXPECT_EQ(second->GetPosition(i).x, first->GetPosition(i).x);
  ASSERT_EQ(second->GetPatchCount(), first->GetPatchCount());
  for (int i = 0; i < first->GetPatchCount(); ++i) {
    for (int k = 0; k < 4; ++k) EXPECT_EQ(second->GetPatch(i)->GetCorner(k), first->GetPatch(i)->GetCorner(k));
  }
  for (const char* name : {"left arm", "cloth"}) {
    ASSERT_NE(GroupNamed(*second, name), nullptr) << name;
    EXPECT_EQ(GroupNamed(*second, name)->GetPatchIndices(), GroupNamed(*first, name)->GetPatchIndices());
    EXPECT_EQ(GroupNamed(*second, name)->GetAttr()->GetDiffuseColor()->GetFactoredRGBFloat(),
              GroupNamed(*first, name)->GetAttr()->GetDiffuseColor()->GetFactoredRGBFloat());
  }
  EXPECT_EQ(DecalFacts(*second), DecalFacts(*first));
  float before[4][2], after[4][2];
  for (int patch = 1; patch < first->GetPatchCount(); ++patch) {
    ASSERT_TRUE(Decals(*first)[0]->GetPatchUV(patch, before));
    ASSERT_TRUE(Decals(*second)[0]->GetPatchUV(patch, after));
    for (int k = 0; k < 4; ++k) {
      EXPECT_FLOAT_EQ(after[k][0], before[k][0]);
      EXPECT_FLOAT_EQ(after[k][1], before[k][1]);
    }
  }
}

TEST_F(ObjFiles, TheSampleSavesAsObjAndReadsBack) {
  DestroyHostProject(project_);
  project_ = CreateHostProject(true);
  auto* sample = FindTreeObjectByPath(project_, "Objects/Sample")->GetAsModelCache();
  String error, warnings;
  const std::string saved = temp_.Path("sample.obj");
  ASSERT_EQ(SaveModelAsObj(sample, saved.c_str(), error, warnings), 1) << error.Get();
  HModelCache* copy = ImportObjFile(project_, saved.c_str(), error, warnings);
  ASSERT_NE(copy, nullptr) << error.Get();
  EXPECT_EQ(copy->GetPatchCount(), sample->GetPatchCount());
  EXPECT_EQ(copy->CountGroups(), sample->CountGroups());
  EXPECT_EQ(GroupNamed(*copy, "lower body")->GetPatchCount(), GroupNamed(*sample, "lower body")->GetPatchCount());
  EXPECT_EQ(copy->CountDecals(), sample->CountDecals());
}

TEST_F(ObjFiles, BrokenFilesAreRefusedWithTheLineAndTheProjectUnchanged) {
  const std::pair<const char*, const char*> broken[] = {
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 4\n", "line 4"},
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\n\nf 1 2\n", "line 5"},
      {"v 0 0 0\nv 1 zero 0\n", "line 2"},
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1/2 2/1 3/1\n", "line 4"},
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 -4 3\n", "line 4"},
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 x\n", "line 4"},
  };
  const std::string treeBefore = Tree();
  for (const auto& [text, where] : broken) {
    String error, warnings;
    EXPECT_EQ(ImportObjFile(project_, temp_.Write("broken.obj", text).c_str(), error, warnings), nullptr) << text;
    EXPECT_NE(std::string(error.Get()).find(where), std::string::npos) << error.Get();
    EXPECT_NE(std::string(error.Get()).find("broken.obj"), std::string::npos) << error.Get();
  }
  String error, warnings;
  EXPECT_EQ(ImportObjFile(project_, temp_.Path("absent.obj").c_str(), error, warnings), nullptr);
  EXPECT_FALSE(error.IsEmpty());
  EXPECT_EQ(ImportObjFile(project_, temp_.Write("empty.obj", "# nothing\nv 0 0 0\n").c_str(), error, warnings),
            nullptr);
  EXPECT_EQ(Tree(), treeBefore);
}

TEST_F(ObjFiles, MissingMtlOrImagesGiveWarningsAndDefaults) {
  String error, warnings;
  HModelCache* model = ImportObjFile(project_, WriteStrip(false, false).c_str(), error, warnings);
  ASSERT_NE(model, nullptr) << error.Get();
  EXPECT_FALSE(warnings.IsEmpty());
  EXPECT_EQ(model->CountGroups(), 2);
  EXPECT_EQ(model->CountDecals(), 0);
  EXPECT_EQ(GroupNamed(*model, "cloth")->GetAttr()->GetDiffuseColor()->GetFactoredRGBFloat(),
            HAttrProperty().GetDiffuseColor()->GetFactoredRGBFloat());

  temp_.Write("strip.mtl", kMtl);
  String imageWarnings;
  model = ImportObjFile(project_, temp_.Path("strip.obj").c_str(), error, imageWarnings);
  ASSERT_NE(model, nullptr);
  EXPECT_NE(std::string(imageWarnings.Get()).find("denim_n.tga"), std::string::npos) << imageWarnings.Get();
  // The maps stay, naming the files that are not there, for the view to show as missing.
  EXPECT_GT(model->CountDecals(), 0);
  EXPECT_EQ(model->GetName(), String("strip.1"));
}

// Modelling applications write an object with several materials under one "o"
// (or with none at all): each material's faces must keep its own colours.
TEST_F(ObjFiles, AnObjectOfSeveralMaterialsBecomesAGroupForEach) {
  temp_.Write("colours.mtl", "newmtl Red\nKd 1 0 0\nnewmtl Blue\nKd 0 0 1\n");
  const std::string quad = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n";
  auto colourOf = [](HGroup* group) { return group->GetAttr()->GetDiffuseColor()->GetFactoredRGBFloat(); };
  String error, warnings;

  HModelCache* named = ImportObjFile(
      project_,
      temp_.Write("named.obj", "mtllib colours.mtl\no Cube\n" + quad + "usemtl Red\nf 1 2 3\nusemtl Blue\nf 1 3 4\n")
          .c_str(),
      error, warnings);
  ASSERT_NE(named, nullptr) << error.Get();
  ASSERT_EQ(named->CountGroups(), 2);
  ASSERT_NE(GroupNamed(*named, "Cube Red"), nullptr);
  ASSERT_NE(GroupNamed(*named, "Cube Blue"), nullptr);
  EXPECT_EQ(GroupNamed(*named, "Cube Red")->GetPatchIndices(), std::vector<std::int32_t>{0});
  EXPECT_EQ(colourOf(GroupNamed(*named, "Cube Blue")), RGBFloat::FromRGB(0, 0, 1));

  HModelCache* unnamed = ImportObjFile(
      project_,
      temp_.Write("unnamed.obj", "mtllib colours.mtl\n" + quad + "usemtl Red\nf 1 2 3\nusemtl Blue\nf 1 3 4\n").c_str(),
      error, warnings);
  ASSERT_NE(unnamed, nullptr) << error.Get();
  ASSERT_NE(GroupNamed(*unnamed, "Blue"), nullptr);
  EXPECT_EQ(GroupNamed(*unnamed, "Blue")->GetPatchIndices(), std::vector<std::int32_t>{1});
  EXPECT_EQ(colourOf(GroupNamed(*unnamed, "Red")), RGBFloat::FromRGB(1, 0, 0));

  // One material keeps the object's name, or no group at all.
  HModelCache* single = ImportObjFile(
      project_, temp_.Write("single.obj", "mtllib colours.mtl\n" + quad + "usemtl Blue\nf 1 2 3 4\n").c_str(), error,
      warnings);
  ASSERT_NE(single, nullptr) << error.Get();
  EXPECT_EQ(single->CountGroups(), 0);
  EXPECT_EQ(single->GetAttr()->GetDiffuseColor()->GetFactoredRGBFloat(), RGBFloat::FromRGB(0, 0, 1));
}
