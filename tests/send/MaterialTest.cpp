// Materials, texture slots and geometry details of the sent model.
#include "SendFixture.h"
#include "fbx/FbxContext.h"
#include "send/ExportJob.h"
#include "send/FbxMaterials.h"
#include "send/MaterialCollection.h"

using namespace pigmora;

namespace {

// A model of `quads` unit quads side by side along x; patch i spans x = i to i + 1.
HModelCache* Strip(const char* name, int quads) {
  HModelCache* model = HModelCache::New(name, 1);
  for (int x = 0; x <= quads; ++x) {
    model->AddPosition(static_cast<float>(x), 0, 0);
    model->AddPosition(static_cast<float>(x), 1, 0);
  }
  for (int i = 0; i < quads; ++i) model->AddPatch(2 * i, 2 * i + 2, 2 * i + 3, 2 * i + 1);
  return model;
}

void Cover(HDecal* decal, int patch) {
  const float uv[4][2] = {{0, 0.25f}, {1, 0.25f}, {1, 1}, {0, 1}};
  decal->SetPatchUV(patch, uv);
}

HDecal* DecalShowing(HModelCache* model, HImage* image, int kind) {
  HDecal* decal = model->AddDecal(image->GetName());
  decal->AddDecalClip(image)->GetKind()->SetValue(kind);
  return decal;
}

std::vector<int> PolygonMaterials(const ExportJob& job) {
  std::vector<int> materials;
  for (const IEPoly* polygon : job.exportModel->polygons) materials.push_back(polygon->material);
  return materials;
}

std::vector<std::string> MaterialNames(const ExportJob& job) {
  std::vector<std::string> names;
  for (const ExportMaterial& material : job.materials) names.push_back(material.name.Get());
  return names;
}

TEST_F(SendTest, GroupsBecomeMaterialsAndAPolygonTakesItsFirstGroup) {
  HModelCache* model = Strip("Groups", 4);
  HGroup* arm = model->AddGroup("left arm");
  HGroup* back = model->AddGroup("back");
  HGroup* front = model->AddGroup("front");
  HGroup* plain = model->AddGroup("default");
  front->AddPatch(0);
  back->AddPatch(0);
  arm->AddPatch(1);
  plain->AddPatch(3);
  arm->AddPatch(3);  // also in the first group, which comes first

  const ExportJob job = BuildExportJob(model, "unused.fbx");
  ASSERT_EQ(job.built, 1);
  EXPECT_EQ(MaterialNames(job), (std::vector<std::string>{"default", "left_arm", "back", "front", "default1"}));
  EXPECT_EQ(PolygonMaterials(job), (std::vector<int>{2, 1, 0, 1}));
  EXPECT_EQ(job.materials[0].group, nullptr);
  EXPECT_EQ(job.materials[3].group, front);
  EXPECT_STREQ(job.modelName.Get(), "Groups");

  const ExportJob ungrouped = BuildExportJob(Strip("Plain", 2), "unused.fbx");
  EXPECT_EQ(MaterialNames(ungrouped), std::vector<std::string>{"default"});
  EXPECT_EQ(PolygonMaterials(ungrouped), (std::vector<int>{0, 0}));
}

TEST_F(SendTest, EachSlotHoldsTheLastImageOfItsKindAndOtherKindsChangeNothing) {
  HModelCache* model = Strip("Slots", 3);
  HGroup* group = model->AddGroup("body");
  for (int p = 0; p < 3; ++p) group->AddPatch(p);
  HImage* first = project_->AddImage("/maps/first.png");
  HImage* second = project_->AddImage("/maps/second.png");
  HImage* other = project_->AddImage("/maps/other.png");
  HDecal* firstDecal = DecalShowing(model, first, HDK_COLOR);
  Cover(firstDecal, 0);
  Cover(firstDecal, 1);
  Cover(DecalShowing(model, second, HDK_COLOR), 1);
  Cover(DecalShowing(model, other, 1), 2);  // a kind no slot takes

  ExportJob job = BuildExportJob(model, "unused.fbx");
  ASSERT_EQ(job.exportModel->images.count, 3);
  const int* slots = job.materials[1].textureSlots;
  EXPECT_EQ(std::vector<int>(slots, slots + kTextureSlotCount), (std::vector<int>{1, -1, -1, -1, -1}));
  const int* own = job.materials[0].textureSlots;
  EXPECT_EQ(std::vector<int>(own, own + kTextureSlotCount), std::vector<int>(kTextureSlotCount, -1));

  // Every image becomes a file texture, used or not.
  const std::vector<FbxFileTexture*> textures = CreateFileTextures(state_.Plugin().Fbx.Manager(), *job.exportModel);
  ASSERT_EQ(textures.size(), 3u);
  EXPECT_STREQ(textures[2]->GetName(), "other");
  EXPECT_STREQ(textures[2]->GetFileName(), "/maps/other.png");

  Send(model);
  const SentModel sent = ReadWithOurReader(ModelFile().string());
  using Channels = std::map<std::string, std::vector<std::string>>;
  EXPECT_EQ(sent.textures.at("body"), (Channels{{"DiffuseColor", {"/maps/second.png"}}}));
  EXPECT_EQ(sent.textures.size(), 1u) << "the other image is connected to nothing";
}

TEST_F(SendTest, AMapRecordNamingNoImageOfTheModelLeavesItsSlotAlone) {
  HModelCache* model = Strip("Tampered", 2);
  HImage* image = project_->AddImage("/maps/paint.png");
  HDecal* decal = DecalShowing(model, image, HDK_NORMAL);
  Cover(decal, 0);
  Cover(decal, 1);
  IEPolyModelParms parameters;
  parameters.flags = IEPolyModelParms::IncludeMaps;
  ExportJob job;
  job.exportModel.reset(model->BuildExportModel(&parameters, "unused.fbx"));
  ASSERT_TRUE(job.exportModel);
  job.exportModel->polygons[1]->maps[0]->image = 7;  // past the image list
  CollectMaterials(job, model);
  EXPECT_EQ(job.materials[0].textureSlots[3], 0);
  job.materials.clear();
  job.exportModel->polygons[0]->maps[0]->image = -1;
  CollectMaterials(job, model);
  EXPECT_EQ(job.materials[0].textureSlots[3], -1);
}

TEST_F(SendTest, ATextureOfTwoMaterialsIsConnectedToBoth) {
  HModelCache* model = Strip("Shared", 2);
  model->AddGroup("left")->AddPatch(0);
  model->AddGroup("right")->AddPatch(1);
  HDecal* decal = DecalShowing(model, project_->AddImage("/maps/skin.png"), HDK_COLOR);
  Cover(decal, 0);
  Cover(decal, 1);
  Send(model);
  const SentModel sent = ReadWithOurReader(ModelFile().string());
  using Channels = std::map<std::string, std::vector<std::string>>;
  EXPECT_EQ(sent.textures.at("left"), (Channels{{"DiffuseColor", {"/maps/skin.png"}}}));
  EXPECT_EQ(sent.textures.at("right"), (Channels{{"DiffuseColor", {"/maps/skin.png"}}}));
}

TEST_F(SendTest, ColorsArriveReversedAndPercentsDefaultToOneWithoutAMaterialHead) {
  HModelCache* model = Strip("Colors", 1);
  HAttrProperty* attributes = model->GetAttr();
  attributes->GetDiffuseColor()->SetRGBFloat(RGBFloat{0.1f, 0.2f, 0.3f});  // stored order
  attributes->GetAmbianceColor()->SetRGBFloat(RGBFloat{0.4f, 0.5f, 0.6f});
  attributes->GetSpecularColor()->SetRGBFloat(RGBFloat{0.7f, 0.8f, 0.9f});
  attributes->GetDiffuseFallOff()->SetValue(0.75f);
  attributes->GetAmbiance()->SetValue(0.25f);
  attributes->GetSpecularIntensity()->SetValue(0.5f);
  Send(model);
  SentModel sent = ReadWithOurReader(ModelFile().string());
  EXPECT_EQ(sent.diffuse.at("default"), FbxDouble3(0.3f, 0.2f, 0.1f));
  EXPECT_EQ(sent.ambient.at("default"), FbxDouble3(0.6f, 0.5f, 0.4f));
  EXPECT_EQ(sent.specular.at("default"), FbxDouble3(0.9f, 0.8f, 0.7f));
  EXPECT_EQ(sent.factors.at("default"), (std::map<std::string, double>{{"DiffuseFactor", 0.75},
                                                                       {"AmbientFactor", 0.25},
                                                                       {"SpecularFactor", 0.5},
                                                                       {"BumpFactor", 1.0},
                                                                       {"DisplacementFactor", 1.0}}));
  HMaterial* head = attributes->AddMaterialHead();
  head->SetDisplacePercent(0.125f);
  head->SetBumpPercent(2.5f);
  Send(model);
  sent = ReadWithOurReader(ModelFile().string());
  EXPECT_EQ(sent.factors.at("default").at("DisplacementFactor"), 0.125);
  EXPECT_EQ(sent.factors.at("default").at("BumpFactor"), 2.5);
}

TEST_F(SendTest, TrianglesKeepThreeCornersAndOnlyCornersWithUVsFillTheUVSet) {
  HModelCache* model = Strip("Corners", 2);
  const int apex = model->AddPosition(1.5f, -2.0f, 3.0f);
  model->AddPatch(0, 1, apex);  // a triangle
  HDecal* decal = DecalShowing(model, project_->AddImage("/maps/paint.png"), HDK_COLOR);
  Cover(decal, 0);
  const float triangle[4][2] = {{0.5f, 0.0f}, {1, 0.5f}, {0, 0.5f}, {0.5f, 0.0f}};
  decal->SetPatchUV(2, triangle);
  Send(model);
  const SentModel sent = ReadWithOurReader(ModelFile().string());
  ASSERT_EQ(sent.polygons.size(), 3u);
  EXPECT_EQ(sent.polygons[2].corners.size(), 3u);
  EXPECT_EQ(sent.polygons[2].corners[2], Rounded({1.5, -2.0, 3.0}));
  EXPECT_EQ(sent.polygons[0].uvs[0], Rounded({0.0, 0.75})) << "v is written as 1 - v";
  EXPECT_EQ(sent.polygons[2].uvs,
            (std::vector<std::vector<double>>{Rounded({0.5, 1.0}), Rounded({1.0, 0.5}), Rounded({0.0, 0.5})}));
  EXPECT_EQ(sent.polygons[1].uvs, std::vector<std::vector<double>>(4)) << "no map records, no UVs";
  EXPECT_EQ(sent.uvCount, 7) << "one entry per corner that has a UV";
}

}  // namespace
