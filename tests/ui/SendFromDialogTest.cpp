#include <Plugin/HostProject.h>

#include <filesystem>

#include "DialogHarness.h"

using namespace pigmora;

namespace {

// The mode buttons with the real send behind them, on the sample model.
class SendFromDialogTest : public DialogHarness {
protected:
  void SetUp() override {
    DialogHarness::SetUp();
    project_ = CreateHostProject(true);
    plugin_->CurrentTreeObject.Set(FindTreeObjectByPath(project_, "Objects/Sample"));
    ASSERT_TRUE(plugin_->FbxErrorText.IsEmpty()) << plugin_->FbxErrorText.Buffer();
  }
  void TearDown() override {
    DestroyHostProject(project_);
    DialogHarness::TearDown();
  }

  std::filesystem::path CommandFile() const { return scratch_.ExchangePath() / "import.txt"; }
  std::filesystem::path ModelFile() const { return scratch_.ExchangePath() / "Hash" / "data" / "export.fbx"; }

  HProject* project_ = nullptr;
};

TEST_F(SendFromDialogTest, WithoutTheExecutableEveryButtonSaysSoAndTheDialogStaysOpen) {
  std::vector<Step> steps;
  for (int id = 1001; id <= 1012; ++id) steps.push_back([id] { Click(id); });
  steps.push_back([] {});
  RunDialog(steps);
  EXPECT_EQ(stepsRun_, steps.size()) << "a button closed the dialog";
  ASSERT_EQ(display().MessageBoxes().size(), 12u);
  for (const AfxMessageBoxRecord& box : display().MessageBoxes()) {
    EXPECT_EQ(box.text, "Path to Pigmora was not set (see Options tab)");
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.Icon(), MB_ICONERROR);
  }
  EXPECT_FALSE(std::filesystem::exists(CommandFile()));
  EXPECT_FALSE(std::filesystem::exists(ModelFile()));
}

TEST_F(SendFromDialogTest, ASendWritesTheFilesWithTheOptionsAndClosesTheDialog) {
  const std::string program = scratch_.Write("Pigmora", "#!/bin/sh\n");
  display().QueueFileDialogAnswer(program);
  const INT_PTR result = RunDialog({
      [] {
        Tab(1);
        Click(1017);
        Check(1027, 1);
        Select(1204, 2);  // "PNG 8-bits(.png)"
        Tab(0);
      },
      [] { Click(1005); },
      [] { ADD_FAILURE() << "the dialog is still open after the send"; },
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_TRUE(display().MessageBoxes().empty()) << display().MessageBoxes().front().text;
  const std::string command = ScratchFolder::ReadFile(CommandFile());
  EXPECT_NE(command.find("\n[voxcombine]\n"), std::string::npos) << command;
  EXPECT_NE(command.find("\n[ExportDispl=1]\n"), std::string::npos) << command;
  EXPECT_NE(command.find("\n[DisplTexExt=PNG]\n[DisplDepth=8-bits]\n"), std::string::npos) << command;
  EXPECT_GT(std::filesystem::file_size(ModelFile()), 0u);
}

}  // namespace
