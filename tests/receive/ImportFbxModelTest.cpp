#include <Interchange/IEModel.h>

#include <cfloat>
#include <cmath>

#include "ReceiveFixture.h"
#include "receive/ImportFbxModel.h"
#include "receive/MergeIntoProject.h"
#include "receive/ReceiveModel.h"

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
    return ImportFbxModel(state_.Plugin().Fbx, state_.Plugin().CurrentTreeObject, fbx.c_str(),
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

    ASSERT_EQ(model->CountDecals(), 2) << "one decal per material";
    HDecal* skin = DecalNamed(model, "Skin");
    HDecal* cloth = DecalNamed(model, "Cloth");
    ASSERT_NE(skin, nullptr);
    ASSERT_NE(cloth, nullptr);
    const auto skinClips = Clips(skin);
    ASSERT_EQ(skinClips.size(), 1u);
    EXPECT_EQ(skinClips[0]->GetKind()->GetValue(), 0);
    EXPECT_EQ(FileOf(skinClips[0]), Texture("skin.tga"));
    EXPECT_EQ(PlacedPatches(skin), groups[0]->GetPatchIndices()) << "Skin's paint lies on Skin's patches only";
    const auto clothClips = Clips(cloth);
    ASSERT_EQ(clothClips.size(), 2u);
    EXPECT_EQ(clothClips[0]->GetKind()->GetValue(), 0);
    EXPECT_EQ(FileOf(clothClips[0]), Texture("cloth.tga"));
    EXPECT_EQ(clothClips[1]->GetKind()->GetValue(), 13);
    EXPECT_EQ(FileOf(clothClips[1]), Texture("cloth_n.tga"));
    EXPECT_EQ(PlacedPatches(cloth), groups[1]->GetPatchIndices());
    float uv[4][2];
    ASSERT_TRUE(skin->GetPatchUV(0, uv));
    EXPECT_FLOAT_EQ(uv[0][0], 0.25f);
    EXPECT_FLOAT_EQ(uv[0][1], 0.8f) << "v is flipped";
    EXPECT_FLOAT_EQ(uv[3][0], uv[0][0]) << "a triangle repeats its first pair";
    EXPECT_FLOAT_EQ(uv[3][1], uv[0][1]);
    // The pentagon's triangles take their UVs from the pentagon's own corners.
    for (int patch = 3; patch < 6; ++patch) {
      ASSERT_TRUE(cloth->GetPatchUV(patch, uv));
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
  const auto groups = Groups(model);
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(groups[0]->GetPatchCount(), 4) << "AllSame gives every polygon the one entry";
  HDecal* decal = FirstDecal(model);
  ASSERT_NE(decal, nullptr);
  EXPECT_EQ(decal->GetPatchCount(), 4);
  float uv[4][2];
  ASSERT_TRUE(decal->GetPatchUV(3, uv));  // quad at x 1..2, y 1..2
  EXPECT_FLOAT_EQ(uv[0][0], 0.5f);
  EXPECT_FLOAT_EQ(uv[2][0], 1.0f);
  EXPECT_FLOAT_EQ(uv[2][1], 0.0f);

  plan = GridPlan(2, {"Only"});
  plan.uvLayout = MeshPlan::UVByCornerDirect;
  ASSERT_TRUE(Import(plan, {{"Only", "map1", "color", Texture("c.tga")}})) << error_.Get();
  decal = FirstDecal(Model("Cube"));
  ASSERT_NE(decal, nullptr);
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
  HDecal* decal = FirstDecal(model);
  ASSERT_NE(decal, nullptr);
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
  for (const char* name : {"first", "second"}) {
    HDecal* decal = DecalNamed(model, name);
    ASSERT_NE(decal, nullptr) << name;
    const auto clips = Clips(decal);
    ASSERT_EQ(clips.size(), 1u) << name;
    EXPECT_EQ(FileOf(clips[0]), Texture((std::string(name) + ".tga").c_str()));
    EXPECT_EQ(PlacedPatches(decal), groups[name[0] == 's' ? 0 : 1]->GetPatchIndices()) << name;
  }
}

TEST_F(ImportFbxModelTest, LambertMaterialsAreReadWithoutSpecular) {
  MeshPlan plan = GridPlan(1, {"Matte"});
  plan.lambert = true;
  ASSERT_TRUE(Import(plan, {{"Matte", "map1", "color", Texture("m.tga")}})) << error_.Get();
  const auto groups = Groups(Model("Cube"));
  ASSERT_EQ(groups.size(), 1u);
  HGroup* group = groups[0];
  const RGBFloat diffuse = group->GetAttr()->GetDiffuseColor()->GetFactoredRGBFloat();
  EXPECT_FLOAT_EQ(diffuse.red, 0.25f);
  EXPECT_FLOAT_EQ(diffuse.green, 0.5f);
  EXPECT_FLOAT_EQ(diffuse.blue, 0.75f);
  const RGBFloat specular = group->GetAttr()->GetSpecularColor()->GetFactoredRGBFloat();
  EXPECT_EQ(specular, RGBFloat{}) << "a Lambert has no specular color";
}

TEST_F(ImportFbxModelTest, PhongMaterialsKeepTheirColorsAndFactors) {
  MeshPlan plan = GridPlan(1, {"Glossy"});
  plan.ambient = FbxDouble3(0.05, 0.1, 0.15);
  plan.factors = std::array<double, 3>{0.9, 0.4, 0.6};
  ASSERT_TRUE(Import(plan, {{"Glossy", "map1", "color", Texture("g.tga")}})) << error_.Get();
  const auto groups = Groups(Model("Cube"));
  ASSERT_EQ(groups.size(), 1u);
  HAttrProperty* attr = groups[0]->GetAttr();
  EXPECT_EQ(attr->GetAmbianceColor()->GetFactoredRGBFloat(), RGBFloat::FromRGB(0.05f, 0.1f, 0.15f));
  EXPECT_EQ(attr->GetSpecularColor()->GetFactoredRGBFloat(), RGBFloat::FromRGB(0.1f, 0.2f, 0.3f));
  EXPECT_FLOAT_EQ(attr->GetDiffuseFallOff()->GetValue(), 0.9f);
  EXPECT_FLOAT_EQ(attr->GetAmbiance()->GetValue(), 0.4f);
  EXPECT_FLOAT_EQ(attr->GetSpecularIntensity()->GetValue(), 0.6f);
}

TEST_F(ImportFbxModelTest, FailuresSayWhyAndLeaveTheProjectAsItWas) {
  ScratchFolder::WriteImage(scratch_.Root() / "old.tga");
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

  EXPECT_FALSE(ImportFbxModel(state_.Plugin().Fbx, state_.Plugin().CurrentTreeObject,
                              scratch_.Path("absent.fbx").c_str(), WriteTextures({}).c_str(), error_, notes_));
  EXPECT_FALSE(error_.IsEmpty());
  EXPECT_FALSE(ImportFbxModel(state_.Plugin().Fbx, state_.Plugin().CurrentTreeObject,
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
  // UVs likewise: saved as they came, they would make a file that nothing reads back.
  for (double bad : {std::nan(""), HUGE_VAL, -1e39}) {
    for (int axis = 0; axis < 2; ++axis) {
      MeshPlan plan = GridPlan(2, {"A"});
      ASSERT_FALSE(plan.cornerUVs.empty());
      plan.cornerUVs[1][2][static_cast<std::size_t>(axis)] = bad;
      EXPECT_FALSE(Import(plan, {{"A", "map1", "color", Texture("a.tga")}})) << bad << " on axis " << axis;
      const std::string error = error_.Get();
      EXPECT_NE(error.find("UV set 'map1'"), std::string::npos) << error;
      EXPECT_NE(error.find("not finite"), std::string::npos) << error;
      EXPECT_EQ(Model("Cube"), older);
      EXPECT_EQ(CountModels(), 1);
    }
  }
  // The largest float is still a coordinate.
  MeshPlan plan = GridPlan(1, {"A"});
  plan.points[0][0] = -FLT_MAX;
  plan.cornerUVs[0][0][1] = FLT_MAX;
  EXPECT_TRUE(Import(plan, {{"A", "map1", "color", Texture("a.tga")}})) << error_.Get();
}

TEST_F(ImportFbxModelTest, ANewerModelReplacesTheOlderOneWithItsInstancesAndImages) {
  MeshPlan plan = GridPlan(1, {"A"});
  ASSERT_TRUE(Import(plan, {{"A", "map1", "color", Texture("a.tga")}})) << error_.Get();
  HModelCache* first = Model("Cube");
  HScene* scene = project_->AddScene("Shot");
  HAnimObject* instance = scene->AddInstance(first);
  ASSERT_EQ(CountImages(), 1);

  plan = GridPlan(2, {"A"});
  ASSERT_TRUE(Import(plan, {{"A", "map1", "color", Texture("a.tga")}})) << error_.Get();
  ASSERT_EQ(CountModels(), 1);
  HModelCache* second = Model("Cube");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->GetPatchCount(), 4);
  EXPECT_EQ(instance->GetCache(), second);
  EXPECT_EQ(CountImagesOf(Texture("a.tga")), 1) << "the older model's image of the file made way for the new one";
  const auto clips = Clips(FirstDecal(second));
  ASSERT_EQ(clips.size(), 1u);
  HImage* image = clips[0]->GetClip()->GetClip();
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(FileOf(clips[0]), Texture("a.tga"));
  EXPECT_STREQ(image->GetName().Get(), "a") << "under the name the older image had";
}

TEST_F(ImportFbxModelTest, ATexturePathTooLongForTheHostIsLeftOutAndNamed) {
  const std::string longPath = scratch_.Path(std::string(300, 'p') + ".tga");
  ASSERT_TRUE(
      Import(GridPlan(1, {"A"}), {{"A", "map1", "color", longPath}, {"A", "map1", "specular", Texture("s.tga")}}))
      << error_.Get();
  EXPECT_NE(std::string(notes_.Get()).find(longPath), std::string::npos) << notes_.Get();
  const auto clips = Clips(FirstDecal(Model("Cube")));
  ASSERT_EQ(clips.size(), 1u);
  EXPECT_EQ(clips[0]->GetKind()->GetValue(), 4);
}

TEST_F(ImportFbxModelTest, AnImageTwoMaterialsShareLiesOnEachMaterialsOwnDecal) {
  MeshPlan plan = GridPlan(2, {"Top", "Bottom"});
  plan.polygonMaterials = {1, 1, 0, 0};
  ASSERT_TRUE(Import(plan, {{"Top", "map1", "color", Texture("shared.tga")},
                            {"Top", "map1", "normalmap", Texture("top_n.tga")},
                            {"Bottom", "map1", "color", Texture("shared.tga")}}))
      << error_.Get();
  HModelCache* model = Model("Cube");
  const auto groups = Groups(model);
  ASSERT_EQ(groups.size(), 2u);
  ASSERT_EQ(Decals(model).size(), 2u);
  HDecal* top = DecalNamed(model, "Top");
  HDecal* bottom = DecalNamed(model, "Bottom");
  ASSERT_NE(top, nullptr);
  ASSERT_NE(bottom, nullptr);
  EXPECT_EQ(PlacedPatches(top), (std::vector<std::int32_t>{2, 3}));
  EXPECT_EQ(PlacedPatches(bottom), (std::vector<std::int32_t>{0, 1}));
  const auto topClips = Clips(top);
  ASSERT_EQ(topClips.size(), 2u);
  EXPECT_EQ(FileOf(topClips[0]), Texture("shared.tga"));
  EXPECT_EQ(topClips[0]->GetKind()->GetValue(), 0);
  EXPECT_EQ(FileOf(topClips[1]), Texture("top_n.tga"));
  EXPECT_EQ(topClips[1]->GetKind()->GetValue(), 13);
  const auto bottomClips = Clips(bottom);
  ASSERT_EQ(bottomClips.size(), 1u);
  EXPECT_EQ(FileOf(bottomClips[0]), Texture("shared.tga"));
  EXPECT_EQ(topClips[0]->GetClip()->GetClip(), bottomClips[0]->GetClip()->GetClip()) << "one image for the one file";
  EXPECT_EQ(CountImages(), 2);

  // One material: one decal with a clip per channel, in channel order, over every patch.
  ASSERT_TRUE(Import(GridPlan(2, {"Only"}), {{"Only", "map1", "normalmap", Texture("n.tga")},
                                             {"Only", "map1", "color", Texture("c.tga")},
                                             {"Only", "map1", "specular", Texture("s.tga")}}))
      << error_.Get();
  const auto decals = Decals(Model("Cube"));
  ASSERT_EQ(decals.size(), 1u);
  EXPECT_STREQ(decals[0]->GetName().Get(), "Only");
  const auto clips = Clips(decals[0]);
  ASSERT_EQ(clips.size(), 3u);
  EXPECT_EQ(clips[0]->GetKind()->GetValue(), 0);
  EXPECT_EQ(clips[1]->GetKind()->GetValue(), 4);
  EXPECT_EQ(clips[2]->GetKind()->GetValue(), 13);
  EXPECT_EQ(PlacedPatches(decals[0]), (std::vector<std::int32_t>{0, 1, 2, 3}));
}

TEST_F(ImportFbxModelTest, ImagesOtherModelsShowOrTheNewModelDoesNotBringStay) {
  // Another model shows x.tga; an unused image shows X.TGA, another file where names keep
  // their case; an unused image shows spare.tga, which only a material without polygons names.
  const bool oneFile = scratch_.NamesFoldCase();
  HImage* shown = project_->AddImage(Texture("x.tga").c_str());
  HModelCache* other = HModelCache::New("Other", 1);
  for (int i = 0; i < 3; ++i) other->AddPosition(float(i), float(i & 1), 0);
  other->AddPatch(0, 1, 2);
  HDecalClip* otherClip = other->AddDecal("paint")->AddDecalClip(shown);
  project_->AddImage(Texture("X.TGA").c_str());
  project_->AddImage(Texture("spare.tga").c_str());

  MeshPlan plan = GridPlan(1, {"A", "Spare"});
  plan.polygonMaterials = {0};
  ASSERT_TRUE(Import(plan, {{"A", "map1", "color", Texture("x.tga")},
                            {"A", "map1", "specular", Texture("a.tga")},
                            {"Spare", "map1", "color", Texture("spare.tga")}}))
      << error_.Get();
  EXPECT_EQ(otherClip->GetClip()->GetClip(), shown) << "the other model keeps its image";
  EXPECT_EQ(CountImagesOf(Texture("x.tga")), 2) << "the new model has its own image of the file";
  EXPECT_EQ(CountImagesOf(Texture("X.TGA")), oneFile ? 0 : 1)
      << (oneFile ? "the unused image of the same file made way" : "a file named in another case is another file");
  EXPECT_EQ(CountImagesOf(Texture("spare.tga")), 1) << "the new model brings no image of spare.tga";
  EXPECT_EQ(CountImages(), oneFile ? 4 : 5);
}

TEST_F(ImportFbxModelTest, AnUnusedImageOfAFileTheNewModelBringsMakesWay) {
  project_->AddImage(Texture("A.TGA").c_str());
  project_->AddImage(Texture("a.tga").c_str());
  ASSERT_TRUE(Import(GridPlan(1, {"A"}), {{"A", "map1", "color", Texture("a.tga")}})) << error_.Get();
  if (scratch_.NamesFoldCase()) {
    // One file: the first unused image of it made way, the other unused one stays.
    EXPECT_EQ(CountImagesOf(Texture("A.TGA")), 0);
    EXPECT_EQ(CountImagesOf(Texture("a.tga")), 2);
  } else {
    EXPECT_EQ(CountImagesOf(Texture("A.TGA")), 1) << "paths differing in letter case are two files";
    EXPECT_EQ(CountImagesOf(Texture("a.tga")), 1);
  }
  EXPECT_EQ(CountImages(), 2);
}

TEST_F(ImportFbxModelTest, TexturesNoPolygonCanShowAreReportedInAnInfoBox) {
  MeshPlan plan = GridPlan(1, {"Bare"});
  plan.uvLayout = MeshPlan::NoUVs;
  ASSERT_TRUE(WriteMeshFile(plan, scratch_.Path("answer.fbx")));
  WriteTextures({{"Bare", "map1", "color", Texture("bare.tga")}});
  ScratchFolder::WriteFile(scratch_.ExchangePath() / "export.txt", scratch_.Path("answer.fbx") + "\n");
  ASSERT_EQ(state_.Plugin().Receive(), 1);
  ASSERT_NE(Model("Cube"), nullptr);
  EXPECT_EQ(Model("Cube")->CountDecals(), 0);
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Info");
  EXPECT_NE(boxes[0].text.find("'Bare'"), std::string::npos) << boxes[0].text;
  EXPECT_NE(boxes[0].text.find("no UVs"), std::string::npos) << boxes[0].text;

  // A material whose polygons have UVs is not named.
  plan = GridPlan(1, {"Painted"});
  ASSERT_TRUE(Import(plan, {{"Painted", "map1", "color", Texture("p.tga")}})) << error_.Get();
  EXPECT_TRUE(notes_.IsEmpty()) << notes_.Get();
}

TEST_F(ImportFbxModelTest, NamesAndPathsOfUpTo255CharactersAreKeptAndLongerOnesLeftOut) {
  // Texture paths and material names of exactly 255 characters, and one more.
  auto pathOf = [&](std::size_t length) {
    const std::string folder = scratch_.Path("");
    return folder + std::string(length - folder.size() - 4, 't') + ".tga";
  };
  const std::string name255(255, 'm'), name256(256, 'n');
  MeshPlan plan = GridPlan(2, {name255, name256});
  plan.polygonMaterials = {0, 0, 1, 1};
  ASSERT_TRUE(Import(plan, {{name255, "map1", "color", pathOf(255)},
                            {name255, "map1", "specular", pathOf(256)},
                            {name256, "map1", "color", Texture("n.tga")}}))
      << error_.Get();
  HModelCache* model = Model("Cube");
  const auto groups = Groups(model);
  ASSERT_EQ(groups.size(), 1u) << "the material of 256 characters is left out";
  EXPECT_EQ(std::string(groups[0]->GetName().Get()), name255);
  HDecal* decal = DecalNamed(model, name255.c_str());
  const auto clips = Clips(decal);
  ASSERT_EQ(clips.size(), 1u) << "the path of 256 characters is left out";
  EXPECT_EQ(FileOf(clips[0]), pathOf(255));
  const std::string notes = notes_.Get();
  EXPECT_NE(notes.find(pathOf(256)), std::string::npos) << notes;
  EXPECT_NE(notes.find(name256), std::string::npos) << notes;
  EXPECT_EQ(notes.find(pathOf(255)), std::string::npos) << notes;
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
  NameGroupsAndMergeDecals(model, tables, nullptr);
  const auto groups = Groups(model);
  ASSERT_EQ(groups.size(), 4u) << "the first group beyond the materials goes";
  EXPECT_STREQ(groups[2]->GetName().Get(), "Blue");
  EXPECT_STREQ(groups[3]->GetName().Get(), "g5");

  // The groups of the model an answer replaces give back the names the send changed; a material
  // no group of it was sent as keeps its own name.
  HModelCache* replaced = HModelCache::New("Sent", 1);
  for (const char* name : {"head cap", "default", "lower body"}) replaced->AddGroup(name);
  HModelCache* answer = HModelCache::New("Answer", 1);
  for (const char* name : {"a", "b", "c", "d"}) answer->AddGroup(name);
  tables.modelMaterialNames = {"head_cap", "default1", "default", "brand_new"};
  NameGroupsAndMergeDecals(answer, tables, replaced);
  std::vector<std::string> names;
  for (HGroup* group : Groups(answer)) names.push_back(group->GetName().Get());
  EXPECT_EQ(names, (std::vector<std::string>{"head cap", "default", "default", "brand_new"}));

  EXPECT_EQ(FindOtherModel(model, "Loop"), nullptr);
  HModelCache* other = HModelCache::New("loop", 1);
  EXPECT_EQ(FindOtherModel(model, "Loop"), nullptr) << "letter case counts";
  EXPECT_EQ(FindOtherModel(model, "loop"), other);
}

}  // namespace

namespace {

// Every channel word Pigmora writes becomes a clip of its own kind, in channel
// order; the displacement line may carry more after a blank.
TEST_F(ImportFbxModelTest, EveryChannelBecomesAClipOfItsKind) {
  ASSERT_TRUE(Import(GridPlan(1, {"A"}), {{"A", "map1", "displacement 0.35 ZEROBASED", Texture("d.tif")},
                                          {"A", "map1", "normalmap", Texture("n.tga")},
                                          {"A", "map1", "emissive_power", Texture("e.tga")},
                                          {"A", "map1", "specular", Texture("s.tga")},
                                          {"A", "map1", "color", Texture("c.tga")}}))
      << error_.Get();
  const auto clips = Clips(FirstDecal(Model("Cube")));
  std::vector<int> kinds;
  std::vector<std::string> files;
  for (HDecalClip* clip : clips) {
    kinds.push_back(clip->GetKind()->GetValue());
    files.push_back(FileOf(clip));
  }
  EXPECT_EQ(kinds, (std::vector<int>{0, 4, 7, 13, 9})) << "color, specular, emissive, normal map, displacement";
  EXPECT_EQ(files, (std::vector<std::string>{Texture("c.tga"), Texture("s.tga"), Texture("e.tga"), Texture("n.tga"),
                                             Texture("d.tif")}));
}

// Pigmora's coordinates are the model's: nothing scales or moves them.
TEST_F(ImportFbxModelTest, ReceivedPositionsAreTakenAsTheFileHasThem) {
  MeshPlan plan = GridPlan(1, {"A"});
  plan.points = {{-250.5, 0.125, 1000}, {250.5, 0.125, 1000}, {250.5, 80, -3.75}, {-250.5, 80, -3.75}};
  ASSERT_TRUE(Import(plan, {})) << error_.Get();
  HModelCache* model = Model("Cube");
  ASSERT_NE(model, nullptr);
  ASSERT_EQ(model->GetPositionCount(), 4);
  for (int i = 0; i < 4; ++i) {
    const HVector& at = model->GetPosition(i);
    EXPECT_EQ(at.x, static_cast<float>(plan.points[static_cast<std::size_t>(i)][0])) << i;
    EXPECT_EQ(at.y, static_cast<float>(plan.points[static_cast<std::size_t>(i)][1])) << i;
    EXPECT_EQ(at.z, static_cast<float>(plan.points[static_cast<std::size_t>(i)][2])) << i;
  }
}

// A file whose root holds no node has nothing to receive.
TEST_F(ImportFbxModelTest, AFileWithoutNodesIsRefusedWithTheDocumentedText) {
  FbxManager* manager = FbxManager::Create();
  manager->SetIOSettings(FbxIOSettings::Create(manager, "IOSRoot"));
  FbxScene* scene = FbxScene::Create(manager, "Empty");
  FbxExporter* exporter = FbxExporter::Create(manager, "");
  const std::string path = scratch_.Path("empty.fbx");
  ASSERT_TRUE(exporter->Initialize(path.c_str(), -1, manager->GetIOSettings()));
  ASSERT_TRUE(exporter->Export(scene, false));
  exporter->Destroy();
  manager->Destroy();
  EXPECT_FALSE(ImportFbxModel(state_.Plugin().Fbx, state_.Plugin().CurrentTreeObject, path.c_str(),
                              WriteTextures({}).c_str(), error_, notes_));
  EXPECT_STREQ(error_.Get(), "FBX: RootNode doesn't have any child nodes");
  EXPECT_EQ(CountModels(), 0);
}

}  // namespace

namespace {

// A model whose name no tree path reaches, or one cut at a NUL byte into the
// name of another model (which it would then replace), is lost to the user.
TEST_F(ImportFbxModelTest, EveryReceivedModelHasANameATreePathReachesWhole) {
  MeshPlan unnamed = GridPlan(1, {"A"});
  unnamed.nodeName = "";
  const std::string fbx = scratch_.Path("Statue.fbx");
  ASSERT_TRUE(WriteMeshFile(unnamed, fbx));
  ASSERT_TRUE(ImportFbxModel(state_.Plugin().Fbx, state_.Plugin().CurrentTreeObject, fbx.c_str(),
                             WriteTextures({}).c_str(), error_, notes_))
      << error_.Get();
  EXPECT_EQ(FindTreeObjectByPath(project_, "Objects/Statue"), Model("Statue")) << "named after the file";
  ASSERT_NE(Model("Statue"), nullptr);

  // "Cu\0e" in the file: the model named "Cu" stays, the new one is named whole.
  HModelCache* other = HModelCache::NewInProject(project_, "Cu");
  MeshPlan named = GridPlan(1, {"A"});
  named.nodeName = "Cuxe";
  ASSERT_TRUE(WriteMeshFile(named, fbx));
  std::string bytes = ScratchFolder::ReadFile(fbx);
  const std::string stored("Cuxe\0\1Model", 11);
  const std::size_t at = bytes.find(stored);
  ASSERT_NE(at, std::string::npos);
  bytes[at + 2] = '\0';
  ScratchFolder::WriteFile(fbx, bytes);
  ASSERT_TRUE(ImportFbxModel(state_.Plugin().Fbx, state_.Plugin().CurrentTreeObject, fbx.c_str(),
                             WriteTextures({}).c_str(), error_, notes_))
      << error_.Get();
  EXPECT_EQ(Model("Cu"), other) << "another model's name is not taken";
  EXPECT_NE(FindTreeObjectByPath(project_, "Objects/Cu\\x00e"), nullptr);
  EXPECT_EQ(CountModels(), 3);
}

}  // namespace
