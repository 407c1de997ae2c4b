// Memory running out at any point of a send or a receive: the host SDK's
// AllocExt and the FBX library's allocations fail, one at a time, the first,
// the second, ... up to as many as a whole run makes. Every time the host
// stays up, nothing leaks (the sanitizer build checks), the user reads a
// message that says what happened, and the project and the exchange folder
// are as they were or as the finished command leaves them.
#include <gtest/gtest.h>

#include <FileIO/TestSeam.h>
#include <Plugin/HGroup.h>
#include <Plugin/HModelCache.h>
#include <Plugin/HProject.h>
#include <Plugin/HostProject.h>
#include <afxdisplay.h>
#include <afxhost.h>
#include <fbxsdk/fbxtestseam.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "../receive/MeshFile.h"
#include "PluginTestState.h"
#include "ScratchFolder.h"
#include "app/PluginState.h"
#include "send/SendCommand.h"
#include "ui/DlgIO.h"

using namespace pigmora;

namespace {

// A seam: which allocation to fail (0: none) and how many were made since.
struct Seam {
  const char* name;
  std::function<void(long long)> fail;
  std::function<long long()> count;
};

const Seam kSeams[] = {
    {"AllocExt", FileIOTestFailAllocation, FileIOTestAllocationCount},
    {"FBX library", fbxsdk::FbxTestFailAllocation, fbxsdk::FbxTestAllocationCount},
};

bool SaysWhyItFailed(const std::string& text) {
  for (const char* known : {"memory", "Couldn't convert model to mesh", "An error occurred while saving the FBX scene"})
    if (text.find(known) != std::string::npos) return true;
  return false;
}

class AllocationSweepTest : public ::testing::Test {
protected:
  void SetUp() override {
    AfxUseVirtualClock(true);
    state_.Start(false);
    state_.Settings().SetSettingString(Option::ExePath, "/opt/pigmora/Pigmora");
  }
  void TearDown() override {
    for (const Seam& seam : kSeams) seam.fail(0);
    state_.Stop();
    AfxUseVirtualClock(false);
  }

  // One quad in a group: the least a send has to convert, with a material.
  HModelCache* AddTinyModel() {
    HModelCache* model = HModelCache::NewInProject(state_.project, "Tiny");
    const int a = model->AddPosition(0, 0, 0), b = model->AddPosition(1, 0, 0);
    const int c = model->AddPosition(1, 1, 0), d = model->AddPosition(0, 1, 0);
    model->AddPatch(a, b, c, d);
    model->AddGroup("Paint")->AddPatch(0);
    model->BuildSplinesAlongPatchEdges();
    return model;
  }

  // A fresh project holding only the tiny model, as the user had it.
  HModelCache* FreshProject() {
    DestroyHostProject(state_.project);
    state_.project = CreateHostProject(false);
    state_.Plugin().CurrentTreeObject.Set(nullptr);
    return AddTinyModel();
  }

  int CountModels() const { return state_.project->GetChildObjectCacheContainer()->CountChildren(); }
  static const std::vector<AfxMessageBoxRecord>& Boxes() { return AfxGetHeadlessDisplay().MessageBoxes(); }

  std::filesystem::path Exchange(const char* name) const { return scratch_.ExchangePath() / name; }
  std::filesystem::path ModelFile() const { return Exchange("Hash/data/export.fbx"); }

  // Pigmora's answer: a one-quad mesh with one painted texture.
  void WriteAnswer() {
    const std::string fbx = scratch_.Path("answer.fbx");
    ASSERT_TRUE(WriteMeshFile(GridPlan(1, {"Paint"}), fbx));
    ScratchFolder::WriteImage(scratch_.Path("Paint_color.tga"));
    ScratchFolder::WriteFile(Exchange("textures.txt"),
                             "Paint\nmap1\ncolor\n" + scratch_.Path("Paint_color.tga") + "\n");
    ScratchFolder::WriteFile(Exchange("export.txt"), fbx + "\n");
  }

  ScratchFolder scratch_;
  PluginTestState state_;
};

TEST_F(AllocationSweepTest, ASendThatRunsOutOfMemoryAnywhereSaysSoAndLeavesNoPartialModelFile) {
  HModelCache* model = FreshProject();
  state_.Plugin().CurrentTreeObject.Set(model);
  for (const Seam& seam : kSeams) seam.fail(0);
  PressModeButton(nullptr, 1001, state_.Plugin().ForSend());
  ASSERT_TRUE(Boxes().empty()) << Boxes().front().text;
  const std::string complete = ScratchFolder::ReadFile(ModelFile());
  const std::string command = ScratchFolder::ReadFile(Exchange("import.txt"));

  for (const Seam& seam : kSeams) {
    seam.fail(0);
    PressModeButton(nullptr, 1001, state_.Plugin().ForSend());
    const long long allocations = seam.count();
    ASSERT_GT(allocations, 0) << seam.name;
    for (long long nth = 1; nth <= allocations; ++nth) {
      SCOPED_TRACE(std::string(seam.name) + " allocation " + std::to_string(nth) + " of " +
                   std::to_string(allocations));
      AfxGetHeadlessDisplay().ClearMessageBoxes();
      ScratchFolder::WriteFile(ModelFile(), "the model file of the last send");
      seam.fail(nth);
      PressModeButton(nullptr, 1001, state_.Plugin().ForSend());
      seam.fail(0);

      const std::string written = ScratchFolder::ReadFile(ModelFile());
      if (Boxes().empty()) {
        EXPECT_EQ(written.size(), complete.size()) << "a send that says nothing wrote the whole file";
      } else {
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].caption, "Error");
        EXPECT_TRUE(SaysWhyItFailed(Boxes()[0].text)) << Boxes()[0].text;
        EXPECT_TRUE(written == "the model file of the last send" || written.size() == complete.size())
            << "the model file is neither the old one nor a whole new one";
      }
      EXPECT_EQ(ScratchFolder::ReadFile(Exchange("import.txt")), command) << "the command file is written first";
      EXPECT_EQ(CountModels(), 1);
      EXPECT_EQ(model->GetPatchCount(), 1);
    }
  }
}

TEST_F(AllocationSweepTest, AReceiveThatRunsOutOfMemoryAnywhereSaysSoAndLeavesTheProjectAsItWas) {
  FreshProject();
  WriteAnswer();
  for (const Seam& seam : kSeams) seam.fail(0);
  ASSERT_EQ(state_.Plugin().Receive(), 1);
  ASSERT_TRUE(Boxes().empty()) << Boxes().front().text;
  ASSERT_EQ(CountModels(), 2);

  for (const Seam& seam : kSeams) {
    FreshProject();
    WriteAnswer();
    seam.fail(0);
    state_.Plugin().Receive();
    const long long allocations = seam.count();
    ASSERT_GT(allocations, 0) << seam.name;
    for (long long nth = 1; nth <= allocations; ++nth) {
      SCOPED_TRACE(std::string(seam.name) + " allocation " + std::to_string(nth) + " of " +
                   std::to_string(allocations));
      FreshProject();
      WriteAnswer();
      AfxGetHeadlessDisplay().ClearMessageBoxes();
      seam.fail(nth);
      const int result = state_.Plugin().Receive();
      seam.fail(0);

      EXPECT_EQ(result, 1) << "the answer was taken";
      EXPECT_FALSE(std::filesystem::exists(Exchange("export.txt"))) << "an answer is reported once";
      EXPECT_FALSE(std::filesystem::exists(Exchange("textures.txt")));
      HModelCache* received = state_.project->GetChildObjectCacheContainer()->FindModel("Cube");
      if (Boxes().empty() || Boxes()[0].caption == "Info") {
        // Received; an image or material that could not be kept is left out with a note.
        ASSERT_NE(received, nullptr) << "a receive that says no more than a note brought the model";
        EXPECT_EQ(received->GetPatchCount(), 1);
        EXPECT_EQ(CountModels(), 2);
        if (!Boxes().empty()) {
          EXPECT_NE(Boxes()[0].text.find("was left out"), std::string::npos) << Boxes()[0].text;
        }
      } else {
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].caption, "Pigmora");
        EXPECT_TRUE(SaysWhyItFailed(Boxes()[0].text)) << Boxes()[0].text;
        EXPECT_EQ(received, nullptr) << "no part of the model reached the project";
        EXPECT_EQ(CountModels(), 1);
      }
    }
  }
}

}  // namespace
