#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "ModelTestSupport.h"
#include "Plugin.h"
#include "Plugin/HostProject.h"
#include "ScratchFolder.h"

TEST(SampleModel, IsARecognisableModelWithGroupsDecalsAndClosedSplines) {
  ScratchFolder temp;
  HProject* project = CreateHostProject(true);
  HModelCache* sample = FindTreeObjectByPath(project, "Objects/Sample")->GetAsModelCache();
  ASSERT_NE(sample, nullptr);
  EXPECT_GE(sample->GetPatchCount(), 200);
  EXPECT_LE(sample->GetPatchCount(), 999);

  ASSERT_GE(sample->CountGroups(), 3);
  EXPECT_NE(GroupNamed(*sample, "default"), nullptr);
  bool spacedName = false;
  bool materialHead = false;
  std::set<std::tuple<float, float, float>> colours;
  for (HGroup* g = sample->GetChildGroupContainer()->GetChildGroup(); g; g = static_cast<HGroup*>(g->GetSibling())) {
    spacedName = spacedName || std::string(g->GetName().Get()).find(' ') != std::string::npos;
    materialHead = materialHead || g->GetAttr()->GetMaterialHead() != nullptr;
    RGBFloat c = g->GetAttr()->GetDiffuseColor()->GetFactoredRGBFloat();
    colours.insert({c.red, c.green, c.blue});
    EXPECT_GT(g->GetPatchCount(), 0);
  }
  EXPECT_TRUE(spacedName);
  EXPECT_TRUE(materialHead);
  EXPECT_EQ(colours.size(), static_cast<std::size_t>(sample->CountGroups())) << "each group its own colour";

  std::set<int> kinds;
  for (HDecal* decal : Decals(*sample)) {
    HDecalClip* clip = decal->GetChildDecalClipContainer()->GetChildDecalClip();
    kinds.insert(clip->GetKind()->GetValue());
    HImage* image = clip->GetClip()->GetClip();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetParent(), project->GetChildClipCacheContainer());
    EXPECT_TRUE(std::filesystem::is_regular_file(image->GetFilename()->GetValue().Get()))
        << image->GetFilename()->GetValue().Get() << " ships with the library";
    EXPECT_GT(decal->GetPatchCount(), 0);
  }
  EXPECT_TRUE(kinds.count(HDK_COLOR));
  EXPECT_TRUE(kinds.count(HDK_NORMAL));

  int closed = 0;
  auto splineEdges = SplineEdges(*sample, &closed);
  EXPECT_GT(closed, 0);
  EXPECT_EQ(splineEdges.size(), PatchEdges(*sample).size());

  HTreeObject* instance = FindTreeObjectByPath(project, "Scenes/Scene1/Sample");
  ASSERT_NE(instance, nullptr);
  EXPECT_EQ(instance->GetAnimObject()->GetCache(), sample);

  std::ostringstream tree;
  PrintProjectTree(project, tree);
  EXPECT_NE(tree.str().find("    Model \"Sample\" patches=288 cps=266 splines="), std::string::npos) << tree.str();
  EXPECT_NE(tree.str().find("      Group \"lower body\" patches=96"), std::string::npos);
  EXPECT_NE(tree.str().find("kind=13 use=normal image=\"sample_normal\""), std::string::npos);
  EXPECT_NE(tree.str().find("Image \"sample_color\" file="), std::string::npos);
  DestroyHostProject(project);
  EXPECT_EQ(GetHProject(), nullptr);
}
