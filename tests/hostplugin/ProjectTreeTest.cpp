#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "Plugin.h"
#include "Plugin/HostProject.h"

namespace {

class ProjectTree : public ::testing::Test {
protected:
  void SetUp() override { project_ = CreateHostProject(true); }
  void TearDown() override { DestroyHostProject(project_); }
  std::string Tree() {
    std::ostringstream out;
    PrintProjectTree(project_, out);
    return out.str();
  }
  HProject* project_ = nullptr;
};

}  // namespace

TEST_F(ProjectTree, NewProjectHoldsFoldersSampleAndItsInstance) {
  EXPECT_EQ(GetHProject(), project_);
  HTreeObject* objects = FindTreeObjectByPath(project_, "Objects");
  ASSERT_NE(objects, nullptr);
  EXPECT_EQ(objects->GetObjectType(), 14);
  HTreeObject* sample = FindTreeObjectByPath(project_, "Objects/Sample");
  ASSERT_NE(sample, nullptr);
  EXPECT_EQ(sample->GetObjectType(), 1);
  EXPECT_EQ(sample->GetParent(), objects);
  HTreeObject* instance = FindTreeObjectByPath(project_, "Scenes/Scene1/Sample");
  ASSERT_NE(instance, nullptr);
  EXPECT_EQ(instance->GetObjectType(), 259);
  ASSERT_NE(instance->GetAnimObject(), nullptr);
  EXPECT_EQ(instance->GetAnimObject()->GetCache(), sample->GetAsModelCache());
  EXPECT_EQ(FindTreeObjectByPath(project_, ""), project_);
  EXPECT_EQ(FindTreeObjectByPath(project_, "Objects/Nothing"), nullptr);
  EXPECT_EQ(FindTreeObjectByPath(project_, "Scenes/Nope/Sample"), nullptr);
  EXPECT_EQ(FindTreeObjectByPath(project_, "Elsewhere"), nullptr);
}
