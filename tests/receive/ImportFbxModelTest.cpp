#include <Interchange/IEModel.h>

#include <cfloat>
#include <cmath>

#include "ReceiveFixture.h"
#include "receive/ImportFbxModel.h"
#include "receive/ImportSteps.h"

using namespace pigmora;

namespace {

class ImportFbxModelTest : public ReceiveFixture {
protected:
  // Writes the mesh (binary unless ascii) and imports it with the given texture list.
  bool Import(const MeshPlan& plan, const std::vector<std::vector<std::string>>& textures, bool ascii = false) {
    const std::string fbx = scratch_.Path("answer.fbx");
    EXPECT_TRUE(WriteMeshFile(plan, fbx, ascii));
    error_ = String();
    notes_ = String();
    return ImportFbxModel(state_.Plugin().fbx, state_.Plugin().CurrentTreeObject, fbx.c_str(),
                          WriteTextures(textures).c_str(), error_, notes_);
  }

  std::string Texture(const char* name) const { return scratch_.Path(name); }

  String error_;
  String notes_;
};

// Two triangles, a quad, a concave pentagon, a two-corner polygon, by material 0,1,0,1,0.
MeshPlan MixedPlan() {
  MeshPlan plan;
  plan.points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 0, 0}, {2, 1, 0}, {1.5, 0.5, 0}, {1.5, 2, 1}};
  plan.polygons = {{0, 1, 2}, {0, 2, 3}, {1, 4, 5, 2}, {1, 4, 5, 6, 2}, {3, 7}};
  plan.materials = {"Skin", "Cloth"};
  plan.polygonMaterials = {0, 1, 0, 1, 0};
  plan.cornerUVs = {{{0.25, 0.2}, {0.5, 0.2}, {0.5, 0.5}},
                    {{0, 0}, {0.5, 0.5}, {0, 0.5}},
                    {{0.5, 0}, {1, 0}, {1, 0.5}, {0.5, 0.5}},
                    {{0.1, 0.1}, {0.2, 0.1}, {0.3, 0.1}, {0.3, 0.2}, {0.1, 0.2}},
                    {{0, 0}, {1, 1}}};
  return plan;
}

TEST_F(ImportFbxModelTest, PolygonsOfEveryCornerCountKeepTheirOwnMaterialAndUVs) {
  for (bool ascii : {false, true}) {
    ASSERT_TRUE(Import(MixedPlan(),
                       {{"Skin", "map1", "color", Texture("skin.tga")},
                        {"Cloth", "map1", "color", Texture("cloth.tga")},
                        {"Cloth", "map1", "normalmap", Texture("cloth_n.tga")}},
                       ascii))
        << error_.Get();
    HModelCache* model = Model("Cube");
    ASSERT_NE(model, nullptr);
    // 2 triangles + 1 quad + 3 triangles of the pentagon; the two-corner polygon is dropped.
    ASSERT_EQ(model->GetPatchCount(), 6);
    EXPECT_EQ(model->GetPatch(0)->GetCornerCount(), 3);
    EXPECT_EQ(model->GetPatch(2)->GetCornerCount(), 4);
    const auto groups = Groups(model);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_STREQ(groups[0]->GetName().Get(), "Skin");
    EXPECT_STREQ(groups[1]->GetName().Get(), "Cloth");
    EXPECT_EQ(groups[0]->GetPatchIndices(), (std::vector<std::int32_t>{0, 2}));
    EXPECT_EQ(groups[1]->GetPatchIndices(), (std::vector<std::int32_t>{1, 3, 4, 5}))
        << "the pentagon's triangles keep Cloth; nothing after it shifts";

    ASSERT_EQ(model->CountDecals(), 1);
    HDecal* decal = model->GetChildDecalContainer()->GetChildDecal();
    const auto clips = Clips(decal);
    ASSERT_EQ(clips.size(), 3u);
    EXPECT_EQ(clips[0]->GetKind()->GetValue(), 0);
    EXPECT_EQ(clips[1]->GetKind()->GetValue(), 0);
    EXPECT_EQ(clips[2]->GetKind()->GetValue(), 13);
    EXPECT_EQ(decal->GetPatchCount(), 6) << "the one decal places every patch";
    float uv[4][2];
    ASSERT_TRUE(decal->GetPatchUV(0, uv));
    EXPECT_FLOAT_EQ(uv[0][0], 0.25f);
    EXPECT_FLOAT_EQ(uv[0][1], 0.8f) << "v is flipped";
    EXPECT_FLOAT_EQ(uv[3][0], uv[0][0]) << "a triangle repeats its first pair";
    EXPECT_FLOAT_EQ(uv[3][1], uv[0][1]);
    // The pentagon's triangles take their UVs from the pentagon's own corners.
    for (int patch = 3; patch < 6; ++patch) {
      ASSERT_TRUE(decal->GetPatchUV(patch, uv));
      for (int k = 0; k < 3; ++k) {
        EXPECT_GE(uv[k][0], 0.1f - 1e-6f);
        EXPECT_LE(uv[k][0], 0.3f + 1e-6f);
        EXPECT_GE(uv[k][1], 0.8f - 1e-6f);
      }
    }
    HTreeObject::DeleteHandle(model);
  }
}

TEST_F(ImportFbxModelTest, LayerElementsAreReadAsStored) {
  MeshPlan plan = GridPlan(2, {"Only"});
  plan.polygonMaterials = {0};
  plan.materialsAllSame = true;
  plan.uvLayout = MeshPlan::UVByControlPoint;
  for (const auto& p : plan.points) plan.pointUVs.push_back({p[0] / 2, p[1] / 2});
  ASSERT_TRUE(Import(plan, {{"Only", "map1", "specular", Texture("s.tga")}})) << error_.Get();
  HModelCache* model = Model("Cube");
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(Groups(model)[0]->GetPatchCount(), 4) << "AllSame gives every polygon the one entry";
  HDecal* decal = model->GetChildDecalContainer()->GetChildDecal();
  EXPECT_EQ(decal->GetPatchCount(), 4);
  float uv[4][2];
  ASSERT_TRUE(decal->GetPatchUV(3, uv));  // quad at x 1..2, y 1..2
  EXPECT_FLOAT_EQ(uv[0][0], 0.5f);
  EXPECT_FLOAT_EQ(uv[2][0], 1.0f);
  EXPECT_FLOAT_EQ(uv[2][1], 0.0f);

  plan = GridPlan(2, {"Only"});
  plan.uvLayout = MeshPlan::UVByCornerDirect;
  ASSERT_TRUE(Import(plan, {{"Only", "map1", "color", Texture("c.tga")}})) << error_.Get();
  decal = Model("Cube")->GetChildDecalContainer()->GetChildDecal();
  ASSERT_TRUE(decal->GetPatchUV(0, uv));
  EXPECT_FLOAT_EQ(uv[1][0], 0.5f);
  EXPECT_FLOAT_EQ(uv[1][1], 1.0f);
}

TEST_F(ImportFbxModelTest, IndicesOutsideTheirArraysGiveNoTextureButNoHarm) {
  MeshPlan plan = GridPlan(2, {"A", "B"});
  plan.polygonMaterials = {0, 1, 7, -1};                                          // 7 names no node material
  plan.uvIndexOverride = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 99, 13, 14, 15};  // corner 12 points nowhere
  ASSERT_TRUE(Import(plan, {{"A", "map1", "color", Texture("a.tga")}})) << error_.Get();
  HModelCache* model = Model("Cube");
  ASSERT_NE(model, nullptr);
  ASSERT_EQ(model->GetPatchCount(), 4);
  const auto groups = Groups(model);
  ASSERT_EQ(groups.size(), 2u) << "B keeps its group although Pigmora painted nothing for it; Unused has none";
  EXPECT_STREQ(groups[1]->GetName().Get(), "B");
  EXPECT_EQ(groups[0]->GetPatchIndices(), (std::vector<std::int32_t>{0}));
  EXPECT_EQ(groups[1]->GetPatchIndices(), (std::vector<std::int32_t>{1}));
  HDecal* decal = model->GetChildDecalContainer()->GetChildDecal();
  EXPECT_EQ(decal->GetPatchCount(), 1) << "only A's polygon is textured";
}

TEST_F(ImportFbxModelTest, TheTextureListMayNameMaterialsInAnyOrderAndCase) {
  MeshPlan plan = GridPlan(2, {"First", "Second"});
  plan.polygonMaterials = {0, 0, 1, 1};
  ASSERT_TRUE(Import(plan, {{"second", "MAP1", "color", Texture("second.tga")},
                            {"Missing", "map1", "color", Texture("missing.tga")},
                            {"first", "map1", "color", Texture("first.tga")}}))
      << error_.Get();
  HModelCache* model = Model("Cube");
  const auto groups = Groups(model);
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_STREQ(groups[0]->GetName().Get(), "second");
  EXPECT_EQ(groups[0]->GetPatchIndices(), (std::vector<std::int32_t>{2, 3}));
  EXPECT_EQ(groups[1]->GetPatchIndices(), (std::vector<std::int32_t>{0, 1}));
  const auto clips = Clips(model->GetChildDecalContainer()->GetChildDecal());
  ASSERT_EQ(clips.size(), 2u);
  // The first decal is the image first used by a polygon: first.tga on patch 0.
  EXPECT_STREQ(clips[0]->GetClip()->GetClip()->GetFilename()->GetValue().Get(), Texture("first.tga").c_str());
  EXPECT_STREQ(clips[1]->GetClip()->GetClip()->GetFilename()->GetValue().Get(), Texture("second.tga").c_str());
}

TEST_F(ImportFbxModelTest, LambertMaterialsAreReadWithoutSpecular) {
  MeshPlan plan = GridPlan(1, {"Matte"});
  plan.lambert = true;
  ASSERT_TRUE(Import(plan, {{"Matte", "map1", "color", Texture("m.tga")}})) << error_.Get();
  HGroup* group = Groups(Model("Cube"))[0];
  const RGBFloat diffuse = group->GetAttr()->GetDiffuseColor()->GetFactoredRGBFloat();
  EXPECT_FLOAT_EQ(diffuse.red, 0.25f);
  EXPECT_FLOAT_EQ(diffuse.green, 0.5f);
  EXPECT_FLOAT_EQ(diffuse.blue, 0.75f);
  const RGBFloat specular = group->GetAttr()->GetSpecularColor()->GetFactoredRGBFloat();
  EXPECT_EQ(specular, RGBFloat{}) << "a Lambert has no specular colour";
}

TEST_F(ImportFbxModelTest, FailuresSayWhyAndLeaveTheProjectAsItWas) {
  ScratchFolder::WriteFile(scratch_.Root() / "old.tga", "x");
  project_->AddImage(Texture("old.tga").c_str());
  MeshPlan noMesh = GridPlan(1, {"A"});
  noMesh.withMesh = false;
  EXPECT_FALSE(Import(noMesh, {{"A", "map1", "color", Texture("old.tga")}}));
  EXPECT_NE(std::string(error_.Get()).find("has no mesh"), std::string::npos) << error_.Get();

  MeshPlan lines = GridPlan(1, {"A"});
  lines.polygons = {{0, 1}};
  lines.cornerUVs = {{{0, 0}, {1, 0}}};
  EXPECT_FALSE(Import(lines, {{"A", "map1", "color", Texture("old.tga")}}));
  EXPECT_FALSE(error_.IsEmpty());

  EXPECT_FALSE(ImportFbxModel(state_.Plugin().fbx, state_.Plugin().CurrentTreeObject,
                              scratch_.Path("absent.fbx").c_str(), WriteTextures({}).c_str(), error_, notes_));
  EXPECT_FALSE(error_.IsEmpty());
  EXPECT_FALSE(ImportFbxModel(state_.Plugin().fbx, state_.Plugin().CurrentTreeObject,
                              scratch_.Path("absent.fbx").c_str(), scratch_.Path("absent.txt").c_str(), error_,
                              notes_));
  EXPECT_EQ(std::string(error_.Get()).rfind("Can't open 'textures.txt' for reading", 0), 0u) << error_.Get();

  EXPECT_EQ(CountModels(), 0);
  EXPECT_EQ(CountImages(), 1) << "the older image stays when nothing was merged";
}

TEST_F(ImportFbxModelTest, CoordinatesThatAreNoFiniteFloatsAreRefusedAndTheOlderModelStays) {
  ASSERT_TRUE(Import(GridPlan(1, {"A"}), {{"A", "map1", "color", Texture("a.tga")}})) << error_.Get();
  HModelCache* older = Model("Cube");
  for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL, 1e39, -1e300}) {
    for (int axis = 0; axis < 3; ++axis) {
      MeshPlan plan = GridPlan(2, {"A"});
      plan.points[5][static_cast<std::size_t>(axis)] = bad;
      EXPECT_FALSE(Import(plan, {{"A", "map1", "color", Texture("a.tga")}})) << bad << " on axis " << axis;
      const std::string error = error_.Get();
      EXPECT_NE(error.find("'Cube'"), std::string::npos) << error;
      EXPECT_NE(error.find("not finite"), std::string::npos) << error;
      EXPECT_EQ(Model("Cube"), older);
      EXPECT_EQ(older->GetPatchCount(), 1);
      EXPECT_EQ(CountModels(), 1);
    }
  }
  // The largest float is still a coordinate.
  MeshPlan plan = GridPlan(1, {"A"});
  plan.points[0][0] = -FLT_MAX;
  EXPECT_TRUE(Import(plan, {{"A", "map1", "color", Texture("a.tga")}})) << error_.Get();
}

TEST_F(ImportFbxModelTest, ANewerModelReplacesTheOlderOneWithItsInstancesAndImages) {
  MeshPlan plan = GridPlan(1, {"A"});
  ASSERT_TRUE(Import(plan, {{"A", "map1", "color", Texture("a.tga")}})) << error_.Get();
  HModelCache* first = Model("Cube");
  HScene* scene = project_->AddScene("Shot");
  HAnimObject* instance = scene->AddInstance(first);
  project_->AddImage(Texture("A.TGA").c_str());  // the same file, named in another case
  ASSERT_EQ(CountImages(), 2);

  plan = GridPlan(2, {"A"});
  ASSERT_TRUE(Import(plan, {{"A", "map1", "color", Texture("a.tga")}})) << error_.Get();
  ASSERT_EQ(CountModels(), 1);
  HModelCache* second = Model("Cube");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->GetPatchCount(), 4);
  EXPECT_EQ(instance->GetCache(), second);
  EXPECT_EQ(CountImages(), 2) << "one older image of the file removed, the new one added";
  HDecalClip* clip = Clips(second->GetChildDecalContainer()->GetChildDecal())[0];
  EXPECT_NE(clip->GetClip()->GetClip(), nullptr);
}

TEST_F(ImportFbxModelTest, ATexturePathTooLongForTheHostIsLeftOutAndNamed) {
  const std::string longPath = scratch_.Path(std::string(300, 'p') + ".tga");
  ASSERT_TRUE(
      Import(GridPlan(1, {"A"}), {{"A", "map1", "color", longPath}, {"A", "map1", "specular", Texture("s.tga")}}))
      << error_.Get();
  EXPECT_NE(std::string(notes_.Get()).find(longPath), std::string::npos) << notes_.Get();
  const auto clips = Clips(Model("Cube")->GetChildDecalContainer()->GetChildDecal());
  ASSERT_EQ(clips.size(), 1u);
  EXPECT_EQ(clips[0]->GetKind()->GetValue(), 4);
}

TEST_F(ImportFbxModelTest, TheStepsOnTheHostModelFollowTheirRules) {
  HModelCache* model = HModelCache::New("Loop", 1);
  for (int i = 0; i < 4; ++i) model->AddPosition(float(i), 0, 0);
  const int ring[] = {0, 1, 2, 3};
  model->AddSpline(ring, 4, true);
  model->AddSpline(ring, 2, false);
  for (HSpline* s = model->GetHeadSpline(); s; s = s->GetNextSpline()) {
    HCP* cp = s->GetHeadCP();
    do {
      cp->SetInMagnitude(3);
      cp->SetOutMagnitude(3);
      const bool loop = cp->IsLoop();
      cp = cp->GetNext();
      if (loop) break;
    } while (cp);
  }
  SetSplineMagnitudes(model, 1.0f);
  int checked = 0;
  for (HSpline* s = model->GetHeadSpline(); s; s = s->GetNextSpline()) {
    HCP* cp = s->GetHeadCP();
    for (int n = 0; n < s->CountCPs(); ++n, cp = cp->GetNext(), ++checked) {
      EXPECT_EQ(cp->GetInMagnitude(), 1.0f);
      EXPECT_EQ(cp->GetOutMagnitude(), 1.0f);
    }
  }
  EXPECT_EQ(checked, 6);

  for (const char* name : {"g1", "g2", "g3", "g4", "g5"}) model->AddGroup(name);
  ImportTables tables;
  tables.modelMaterialNames = {"Red", "Green", "Blue"};
  NameGroupsAndMergeDecals(model, tables);
  const auto groups = Groups(model);
  ASSERT_EQ(groups.size(), 4u) << "the first group beyond the materials goes";
  EXPECT_STREQ(groups[2]->GetName().Get(), "Blue");
  EXPECT_STREQ(groups[3]->GetName().Get(), "g5");

  EXPECT_EQ(FindOtherModel(model, "Loop"), nullptr);
  HModelCache* other = HModelCache::New("loop", 1);
  EXPECT_EQ(FindOtherModel(model, "Loop"), nullptr) << "letter case counts";
  EXPECT_EQ(FindOtherModel(model, "loop"), other);
}

}  // namespace
