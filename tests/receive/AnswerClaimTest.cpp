#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "receive/AnswerClaim.h"

using namespace pigmora;

namespace {

class AnswerClaimTest : public ::testing::Test {
protected:
  String Path(const char* name) const { return scratch_.Path(name).c_str(); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(scratch_.Root()))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  ScratchFolder scratch_;
  ClaimNames names_;
};

TEST_F(AnswerClaimTest, OneClaimTakesThePairAndASecondFindsItGone) {
  scratch_.Write("export.txt", "/a.fbx\n");
  scratch_.Write("textures.txt", "A\n");
  AnswerClaim first, second;
  ASSERT_EQ(ClaimAnswerPair(Path("export.txt"), Path("textures.txt"), names_, first), ClaimResult::Taken);
  EXPECT_EQ(ClaimAnswerPair(Path("export.txt"), Path("textures.txt"), names_, second), ClaimResult::Gone);
  EXPECT_TRUE(first.exportClaimed && first.texturesClaimed);
  EXPECT_EQ(ScratchFolder::ReadFile(first.exportFile.Get()), "/a.fbx\n");
  EXPECT_EQ(ScratchFolder::ReadFile(first.texturesFile.Get()), "A\n");

  // A new answer arrives under the pair's names; deleting the claim leaves it.
  scratch_.Write("export.txt", "/b.fbx\n");
  scratch_.Write("textures.txt", "B\n");
  const ClaimRelease release = DeleteAnswerClaim(first, Path("export.txt"), Path("textures.txt"));
  EXPECT_TRUE(release.exportDeleted && release.texturesDeleted);
  EXPECT_EQ(Names(), (std::vector<std::string>{"export.txt", "textures.txt"}));
  EXPECT_EQ(ScratchFolder::ReadFile(scratch_.Root() / "export.txt"), "/b.fbx\n");
}

TEST_F(AnswerClaimTest, AnExportFileWhoseTextureListVanishedGoesBackUnderItsName) {
  scratch_.Write("export.txt", "/a.fbx\n");
  AnswerClaim claim;
  EXPECT_EQ(ClaimAnswerPair(Path("export.txt"), Path("textures.txt"), names_, claim), ClaimResult::Gone);
  EXPECT_EQ(Names(), (std::vector<std::string>{"export.txt"}));
  EXPECT_EQ(ScratchFolder::ReadFile(scratch_.Root() / "export.txt"), "/a.fbx\n");
}

TEST_F(AnswerClaimTest, AClaimedCopyThatCannotBeDeletedGoesBackUnlessANewerFileTookItsName) {
  // Folders: renamed like files, but not deleted as files.
  std::filesystem::create_directory(scratch_.Root() / "export.txt");
  std::filesystem::create_directory(scratch_.Root() / "textures.txt");
  AnswerClaim claim;
  ASSERT_EQ(ClaimAnswerPair(Path("export.txt"), Path("textures.txt"), names_, claim), ClaimResult::Taken);
  scratch_.Write("textures.txt", "newer\n");
  const ClaimRelease release = DeleteAnswerClaim(claim, Path("export.txt"), Path("textures.txt"));
  EXPECT_FALSE(release.exportDeleted);
  EXPECT_FALSE(release.texturesDeleted);
  EXPECT_TRUE(std::filesystem::is_directory(scratch_.Root() / "export.txt"));
  EXPECT_EQ(ScratchFolder::ReadFile(scratch_.Root() / "textures.txt"), "newer\n") << "never written over";
}

}  // namespace
