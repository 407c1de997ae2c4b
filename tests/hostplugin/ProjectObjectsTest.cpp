#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ModelTestSupport.h"
#include "Plugin.h"
#include "Plugin/HostProject.h"

namespace {

class ProjectObjects : public ::testing::Test {
protected:
  void SetUp() override {
    project_ = CreateHostProject(false);
    scene_ = static_cast<HScene*>(FindTreeObjectByPath(project_, "Scenes/Scene1"));
    model_ = HModelCache::New("Head", 1);
    for (int i = 0; i < 4; ++i) model_->AddPosition(float(i & 1), float(i >> 1), 0);
    model_->AddPatch(0, 1, 3, 2);
  }
  void TearDown() override { DestroyHostProject(project_); }

  HProject* project_ = nullptr;
  HScene* scene_ = nullptr;
  HModelCache* model_ = nullptr;
};

}  // namespace

TEST_F(ProjectObjects, ShortcutsMoveToTheNewModelAndDieWithTheirModel) {
  ASSERT_NE(scene_, nullptr);
  HAnimObject* first = scene_->AddInstance(model_);
  HAnimObject* second = scene_->AddInstance(model_);
  HModelCache* replacement = HModelCache::New("Head", 1);
  EXPECT_EQ(model_->ChangeShortCuts(replacement), 2);
  EXPECT_EQ(first->GetCache(), replacement);
  EXPECT_EQ(second->GetCache(), replacement);
  EXPECT_TRUE(HTreeObject::DeleteHandle(model_));
  EXPECT_EQ(scene_->CountChildren(), 2) << "moved instances survive the old model";
  replacement->SetName("Head");
  EXPECT_EQ(FindTreeObjectByPath(project_, "Objects/Head"), replacement);

  EXPECT_TRUE(HTreeObject::DeleteHandle(replacement));
  EXPECT_EQ(scene_->CountChildren(), 0) << "an instance goes with its model";
  EXPECT_EQ(project_->GetChildObjectCacheContainer()->GetChild(), nullptr);
}

TEST_F(ProjectObjects, DeletingAnImageLeavesItsDecalClipsWithoutOne) {
  HImage* image = project_->AddImage("/paint/face.png");
  EXPECT_EQ(image->GetName(), String("face"));
  HDecal* decal = model_->AddDecal("face");
  HDecalClip* clip = decal->AddDecalClip(image);
  clip->GetKind()->SetValue(HDK_NORMAL);
  EXPECT_EQ(clip->GetClip()->GetClip(), image);
  EXPECT_TRUE(HTreeObject::DeleteHandle(image));
  EXPECT_EQ(clip->GetClip()->GetClip(), nullptr);
  IEPolyModel* out = model_->BuildExportModel(nullptr, "");
  ASSERT_NE(out, nullptr) << "a clip without image is left out of the export";
  DeleteIEModel(out);
}

TEST_F(ProjectObjects, ContainersFollowDeletionAndFoldersStay) {
  HGroup* group = model_->AddGroup("eyes");
  EXPECT_TRUE(group->AddPatch(0));
  EXPECT_FALSE(group->AddPatch(1)) << "no such patch";
  EXPECT_EQ(group->GetMatchName(), String("eyes"));
  EXPECT_EQ(group->GetParent()->GetParent(), model_);
  EXPECT_TRUE(HTreeObject::DeleteHandle(model_->GetChildGroupContainer()));
  EXPECT_EQ(model_->GetChildGroupContainer(), nullptr);
  EXPECT_EQ(model_->CountGroups(), 0);
  EXPECT_NE(model_->AddGroup("again"), nullptr);

  HDecal* decal = model_->AddDecal("paint");
  const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  EXPECT_FALSE(decal->SetPatchUV(5, uv)) << "no such patch";
  EXPECT_TRUE(decal->SetPatchUV(0, uv));
  EXPECT_TRUE(HTreeObject::DeleteHandle(decal));
  EXPECT_EQ(model_->GetChildDecalContainer()->GetChildDecal(), nullptr);

  EXPECT_FALSE(HTreeObject::DeleteHandle(project_->GetChildObjectCacheContainer()));
  EXPECT_FALSE(HTreeObject::DeleteHandle(project_->GetChildClipCacheContainer()));
  EXPECT_FALSE(HTreeObject::DeleteHandle(project_));
  EXPECT_FALSE(HTreeObject::DeleteHandle(nullptr));
}

TEST_F(ProjectObjects, TheHostHearsOfEveryObjectDeletedWithAModel) {
  ASSERT_NE(scene_, nullptr);
  HAnimObject* instance = scene_->AddInstance(model_);
  HGroup* group = model_->AddGroup("eyes");
  HDecal* decal = model_->AddDecal("paint");
  std::vector<HTreeObject*> deleted;
  const int listener = AddTreeObjectDeletionListener([&](HTreeObject* object) { deleted.push_back(object); });
  ASSERT_NE(listener, 0);
  HModelCache* kept = HModelCache::New("Kept", 1);

  EXPECT_TRUE(HTreeObject::DeleteHandle(model_));
  for (HTreeObject* object : std::vector<HTreeObject*>{model_, instance, group, decal})
    EXPECT_NE(std::find(deleted.begin(), deleted.end(), object), deleted.end()) << "each object of the subtree";
  EXPECT_EQ(deleted.back(), model_) << "the model last, after what it held";
  EXPECT_EQ(std::find(deleted.begin(), deleted.end(), kept), deleted.end());
  EXPECT_EQ(AddTreeObjectDeletionListener({}), 0);

  RemoveTreeObjectDeletionListener(listener);
  deleted.clear();
  EXPECT_TRUE(HTreeObject::DeleteHandle(kept));
  EXPECT_TRUE(deleted.empty()) << "a removed listener hears nothing";
  model_ = HModelCache::New("Head", 1);
}

TEST_F(ProjectObjects, ConstructionRefusesIndicesOutsideTheModel) {
  EXPECT_EQ(model_->AddPatch(0, 1, 7), nullptr);
  EXPECT_EQ(model_->AddPatch(-1, 1, 2, 3), nullptr);
  const int open[] = {0, 1, 9};
  EXPECT_EQ(model_->AddSpline(open, 3, false), nullptr);
  const int two[] = {0, 1};
  EXPECT_EQ(model_->AddSpline(two, 2, true), nullptr) << "a loop needs three points";
  HSpline* spline = model_->AddSpline(two, 2, false);
  ASSERT_NE(spline, nullptr);
  EXPECT_FALSE(spline->IsClosed());
  EXPECT_EQ(spline->CountCPs(), 2);
  EXPECT_EQ(model_->GetPatchCount(), 1);
  HModelCache* loose = HModelCache::New("Loose", 0);
  EXPECT_EQ(loose->GetParent(), nullptr);
  EXPECT_TRUE(HTreeObject::DeleteHandle(loose));
}

TEST_F(ProjectObjects, WithoutAProjectNewModelsCannotJoinOne) {
  DestroyHostProject(project_);
  project_ = nullptr;
  EXPECT_EQ(GetHProject(), nullptr);
  EXPECT_EQ(HModelCache::New("Orphan", 1), nullptr);
  HModelCache* loose = HModelCache::New("Loose", 0);
  ASSERT_NE(loose, nullptr);
  EXPECT_TRUE(HTreeObject::DeleteHandle(loose));
  project_ = CreateHostProject(false);
}

TEST_F(ProjectObjects, ADecalPlacingAPatchAgainKeepsTheLaterPlacement) {
  ASSERT_NE(model_->AddPatch(0, 1, 2), nullptr);
  HDecal* decal = model_->AddDecal("paint");
  const float earlier[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  const float later[4][2] = {{0.5f, 0.25f}, {0.75f, 0.25f}, {0.75f, 0.5f}, {0.5f, 0.5f}};
  ASSERT_TRUE(decal->SetPatchUV(0, earlier));
  ASSERT_TRUE(decal->SetPatchUV(1, earlier));
  ASSERT_TRUE(decal->SetPatchUV(1, later));  // the same patch twice in a row
  EXPECT_EQ(decal->GetPatchCount(), 2);
  float uv[4][2];
  ASSERT_TRUE(decal->GetPatchUV(1, uv));
  EXPECT_EQ(uv[0][0], 0.5f);
  EXPECT_EQ(uv[2][1], 0.5f);
  ASSERT_TRUE(decal->SetPatchUV(0, later));  // and an earlier patch again
  ASSERT_EQ(decal->GetPatchUVs().size(), 2u);
  EXPECT_EQ(decal->GetPatchUVs()[0].patch, 0);
  EXPECT_EQ(decal->GetPatchUVs()[0].uv[1][0], 0.75f);
  EXPECT_EQ(decal->GetPatchUVs()[1].patch, 1);
}

TEST_F(ProjectObjects, ObjectsLeaveAndJoinAFolderAnywhereInItsOrder) {
  HDecal* decals[4];
  for (int i = 0; i < 4; ++i) decals[i] = model_->AddDecal(("d" + std::to_string(i)).c_str());
  auto names = [&] {
    std::string text;
    for (HHashObject* d = model_->GetChildDecalContainer()->GetChild(); d; d = d->GetSibling())
      text += d->GetName().Get() + std::string(" ");
    return text;
  };
  EXPECT_TRUE(HTreeObject::DeleteHandle(decals[1]));
  EXPECT_EQ(names(), "d0 d2 d3 ");
  EXPECT_TRUE(HTreeObject::DeleteHandle(decals[3]));
  model_->AddDecal("d4");
  EXPECT_EQ(names(), "d0 d2 d4 ") << "an object joins after the last one left";
  EXPECT_TRUE(HTreeObject::DeleteHandle(decals[0]));
  EXPECT_TRUE(HTreeObject::DeleteHandle(decals[2]));
  EXPECT_EQ(names(), "d4 ");
  EXPECT_EQ(model_->CountDecals(), 1);
}

TEST_F(ProjectObjects, ImagesOfOneNameAreNumberedApart) {
  project_->AddImage("/old/face.png");
  const std::vector<HImage*> images =
      project_->AddImages({"/a/face.png", "/b/face.tga", "/c/eyes.png", "/d/face.png", "/e/"});
  ASSERT_EQ(images.size(), 5u);
  const char* names[] = {"face.1", "face.2", "eyes", "face.3", "Image"};
  for (std::size_t i = 0; i < images.size(); ++i) {
    ASSERT_NE(images[i], nullptr);
    EXPECT_STREQ(images[i]->GetName().Get(), names[i]);
  }
  EXPECT_STREQ(images[3]->GetFilename()->GetValue().Get(), "/d/face.png");
  EXPECT_STREQ(project_->AddImage("/f/face.png")->GetName().Get(), "face.4");
}
