#include <sys/stat.h>

#include "DialogHarness.h"

namespace {

using OptionsPageTest = DialogHarness;

constexpr int kCheckBoxes[] = {1100, 1101, 1102, 1103, 1104, 1105, 1106, 1107, 1108, 1109, 1110, 1111, 1027};

TEST_F(OptionsPageTest, AFreshInstallationShowsTheDefaults) {
  RunDialog({[&] {
    EXPECT_EQ(Info(1016).text, "...");
    for (int id : kCheckBoxes) EXPECT_EQ(Info(id).check, id == 1100 || id == 1101 ? BST_CHECKED : BST_UNCHECKED) << id;
    EXPECT_EQ(Info(1200).items, (std::vector<std::string>{"TGA (.tga)", "BMP (.bmp)", "PNG (.png)", "JPG (.jpg)"}));
    EXPECT_EQ(Info(1204).items.size(), 6u);
    EXPECT_EQ(Info(1202).items, (std::vector<std::string>{"LOW-POLY", "MID-POLY"}));
    EXPECT_EQ(Info(1203).items,
              (std::vector<std::string>{"GREYBASED", "ZEROBASED", "ZEROBASED_NORM", "ZEROBASED_ABS"}));
    for (int id = 1200; id <= 1204; ++id) EXPECT_EQ(Info(id).curSel, 0) << id;
    for (int id : {1200, 1201}) EXPECT_TRUE(Info(id).enabled) << id;
    for (int id : {1202, 1203, 1204}) EXPECT_FALSE(Info(id).enabled) << id;
    for (int id : {1031, 1032, 1033}) EXPECT_TRUE(Info(id).enabled) << "label " << id;
    for (int id : {1102, 1104}) EXPECT_FALSE(Info(id).enabled) << id;
    EXPECT_TRUE(Info(1016).style & ES_READONLY);
  }});
  EXPECT_EQ(Stored("ExportDispl"), 0);
}

TEST_F(OptionsPageTest, DisplacementEnablesAndDisablesItsListsAtOnce) {
  RunDialog({[&] {
    Tab(1);
    Check(1027, 1);
    for (int id : {1202, 1203, 1204}) EXPECT_TRUE(Info(id).enabled) << id;
    EXPECT_EQ(Stored("ExportDispl"), 1);
    Check(1027, 0);
    for (int id : {1202, 1203, 1204}) EXPECT_FALSE(Info(id).enabled) << id;
    EXPECT_EQ(Stored("ExportDispl"), 0);
    std::string problem;
    EXPECT_FALSE(AfxUserSelectEntry(Control(1204), 2, problem));
    EXPECT_EQ(problem, "control 1204 is disabled");
  }});
}

TEST_F(OptionsPageTest, EachCheckBoxStoresItsOwnSetting) {
  RunDialog({[&] {
    Tab(1);
    Check(1103, 1);  // "Emissive"
    EXPECT_EQ(Stored("ExportEmissivePower"), 1);
    EXPECT_EQ(Stored("ExportEmissive"), 0);
    const std::pair<int, const char*> boxes[] = {{1105, "ExportNormalmap"},     {1106, "SkipImport"},
                                                 {1107, "SkipExport"},          {1108, "PickSourcePositions"},
                                                 {1109, "PickDepthFromLayer0"}, {1110, "CoarseMesh"}};
    for (auto [id, key] : boxes) {
      Check(id, 1);
      EXPECT_EQ(Stored(key), 1) << key;
    }
    Check(1100, 0);
    EXPECT_EQ(Stored("ExportColor"), 0);
    std::string problem;
    EXPECT_FALSE(AfxUserClick(Control(1102), problem)) << "Specular Color is disabled";
  }});
  EXPECT_TRUE(display().MessageBoxes().empty());
}

TEST_F(OptionsPageTest, AutoImportAsksForARestartWhenTickedAndWhenCleared) {
  HWND page = nullptr;
  RunDialog({[&] {
    Tab(1);
    page = ::GetParent(Control(1111));
    Check(1111, 1);
    EXPECT_EQ(Stored("AutoImport"), 1);
    Check(1111, 0);
    EXPECT_EQ(Stored("AutoImport"), 0);
  }});
  const auto& boxes = display().MessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  for (const AfxMessageBoxRecord& box : boxes) {
    EXPECT_EQ(box.text, "Requires restart the application");
    EXPECT_EQ(box.caption, "Info");
    EXPECT_EQ(box.type, MB_OK);
    EXPECT_EQ(box.owner, page);
  }
}

TEST_F(OptionsPageTest, ListsStoreTheChosenIndex) {
  RunDialog({[&] {
    Tab(1);
    Check(1027, 1);
    Select(1204, 2);
    EXPECT_EQ(Info(1204).text, "PNG 8-bits(.png)");
    Select(1200, 1);
    Select(1203, 3);
    Select(1202, 1);
    std::string problem;
    EXPECT_FALSE(AfxUserSelectEntry(Control(1202), 2, problem)) << "past the list";
  }});
  EXPECT_EQ(Stored("DisplTexExt"), 2);
  EXPECT_EQ(Stored("ColorFileExtension"), 1);
  EXPECT_EQ(Stored("DisplNorm"), 3);
  EXPECT_EQ(Stored("ExportResolution"), 1);
}

TEST_F(OptionsPageTest, AListSettingOutsideItsListShowsTheFirstEntryAndIsKeptUntilChosen) {
  SetRegistryValue("Pigmora", "DisplTexExt", 9);
  SetRegistryValue("Pigmora", "ColorFileExtension", -3);
  SetRegistryValue("Pigmora", "SpecNormExtension", 4);  // one past the last of four
  LoadSettings();
  RunDialog({[&] {
    EXPECT_EQ(Info(1204).curSel, 0);
    EXPECT_EQ(Info(1200).curSel, 0);
    EXPECT_EQ(Info(1201).curSel, 0);
  }});
  EXPECT_EQ(Stored("DisplTexExt"), 9);
  RunDialog({[&] {
    Tab(1);
    Select(1200, 0);
  }});
  EXPECT_EQ(Stored("ColorFileExtension"), 0);
}

#if !defined(_WIN32)  // POSIX-only fixture
TEST_F(OptionsPageTest, SetAsksForTheExecutableAndStoresTheChosenFile) {
  const std::string program = scratch_.Write("Pigmora", "#!/bin/sh\n");
  ::chmod(program.c_str(), 0755);
  display().QueueFileDialogAnswer(program);
  RunDialog({[&] {
    Tab(1);
    Click(1017);
    EXPECT_EQ(Info(1016).text, program);
  }});
  EXPECT_EQ(StoredText("exePath"), program);
  ASSERT_EQ(display().FileDialogs().size(), 1u);
  const AfxFileDialogRecord& asked = display().FileDialogs().front();
  EXPECT_TRUE(asked.open);
  EXPECT_EQ(asked.filter, "Pigmora executable (*.exe) |*.exe||");
  EXPECT_EQ(asked.defaultExtension, "exe");
  EXPECT_EQ(asked.initialFileName, "*.exe");
  EXPECT_EQ(asked.flags, 0x1004u);
  EXPECT_NE(asked.owner, nullptr);
}
#endif

TEST_F(OptionsPageTest, ACancelledOrMissingChoiceChangesNothing) {
  display().QueueFileDialogAnswer("");
  display().QueueFileDialogAnswer(scratch_.Path("no-such-program"));
  RunDialog({[&] {
    Tab(1);
    Click(1017);
    EXPECT_EQ(Info(1016).text, "...");
    Click(1017);
    EXPECT_EQ(Info(1016).text, "...");
  }});
  EXPECT_EQ(StoredText("exePath"), "...");
  ASSERT_EQ(display().MessageBoxes().size(), 1u) << "the missing file is reported";
  EXPECT_NE(display().MessageBoxes().front().text.find("File not found."), std::string::npos);
}

}  // namespace
