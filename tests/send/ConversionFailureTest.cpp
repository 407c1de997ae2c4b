// A model the host cannot convert: reported, and nothing of the FBX side changes.
#include <dlfcn.h>

#include <FileIO/Memory.h>

#include <filesystem>

#include "SendFixture.h"
#include "fbx/FbxContext.h"
#include "send/ExportModelToFbx.h"

using namespace pigmora;

namespace {
bool refuseInterchangeStorage = false;
}

// Stands in for the host's allocator of interchange arrays (the executable's
// definition comes first for the libraries too), so a conversion can fail.
void* AllocExt(std::size_t size) {
  using Allocator = void* (*)(std::size_t);
  static const auto hostAllocExt = reinterpret_cast<Allocator>(dlsym(RTLD_NEXT, "_Z8AllocExtm"));
  return refuseInterchangeStorage || !hostAllocExt ? nullptr : hostAllocExt(size);
}

namespace {

TEST_F(SendTest, AModelTheHostCannotConvertIsReportedAndLeavesTheSceneAsItWas) {
  Send(Sample());
  ASSERT_TRUE(std::filesystem::exists(ModelFile()));
  FbxNode* before = state_.Plugin().Fbx.Scene()->GetRootNode()->GetChild(0);
  ASSERT_NE(before, nullptr);
  std::filesystem::remove(ModelFile());

  refuseInterchangeStorage = true;
  String error;
  const bool exported = ExportModelToFbx(state_.Plugin().Fbx, Sample(), ModelFile().c_str(), error);
  Send(Sample(), 1005);
  refuseInterchangeStorage = false;

  EXPECT_FALSE(exported);
  EXPECT_STREQ(error.Get(), "Couldn't convert model to mesh");
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].caption, "Error");
  EXPECT_EQ(Boxes()[0].text, "Couldn't convert model to mesh");
  EXPECT_FALSE(std::filesystem::exists(ModelFile()));
  EXPECT_NE(CommandText().find("[voxcombine]\n"), std::string::npos) << "the command file comes first";
  ASSERT_EQ(state_.Plugin().Fbx.Scene()->GetRootNode()->GetChildCount(), 1);
  EXPECT_EQ(state_.Plugin().Fbx.Scene()->GetRootNode()->GetChild(0), before) << "the scene was not cleared";
}

}  // namespace
