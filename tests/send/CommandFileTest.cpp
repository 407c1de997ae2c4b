// The command file: what Pigmora is told, when it is written and when not.
#include <filesystem>

#include "SendFixture.h"
#include "app/PluginState.h"
#include "send/SendCommand.h"
#include "settings/ApplinkSettings.h"

using namespace pigmora;

namespace fs = std::filesystem;

namespace {

std::string DefaultCommandText(const std::string& modelFile, const std::string& keyword = "ppp") {
  return modelFile + "\n" + modelFile + "\n[" + keyword +
         "]\n"
         "[ExportColor=1]\n[ExportSpecular=1]\n[ExportSpecularColor=0]\n[ExportEmissivePower=0]\n"
         "[ExportEmissive=0]\n[ExportNormalmap=0]\n[ColorFileExtension=TGA]\n[SpecNormExtension=TGA]\n"
         "[ExportDispl=0]\n[ExportResolution=LOW-POLY]\n[DisplNorm=GREYBASED]\n[DisplTexExt=BMP]\n"
         "[DisplDepth=8-bits]\n[SkipImport=0]\n[SkipExport=0]\n[PickSourcePositions=0]\n"
         "[PickDepthFromLayer0=0]\n[CoarseMesh=0]\n";
}

// The line of a command file that starts with "[key=".
std::string OptionLine(const std::string& text, const std::string& key) {
  for (const std::string& line : Lines(text))
    if (line.rfind("[" + key + "=", 0) == 0) return line;
  return "";
}

TEST_F(SendTest, DefaultsWriteTheDocumentedTwentyOneLinesAndTheModelFile) {
  Send(Sample());
  const std::string text = CommandText();
  EXPECT_EQ(text, DefaultCommandText(ModelFile().string()));
  EXPECT_EQ(Lines(text).size(), 21u);
  EXPECT_EQ(text.find('\r'), std::string::npos);
  EXPECT_TRUE(fs::is_regular_file(ModelFile()));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(SendTest, EachButtonWritesItsKeywordAndOtherwiseTheSameText) {
  const char* keywords[] = {"ppp",  "mv",   "ptex",   "vox", "voxcombine", "alpha",
                            "prim", "curv", "autopo", "uv",  "ref",        "retopo"};
  for (UINT button = 1001; button <= 1012; ++button) {
    Send(Sample(), button);
    EXPECT_EQ(CommandText(), DefaultCommandText(ModelFile().string(), keywords[button - 1001])) << button;
  }
  EXPECT_EQ(keywords[1005 - 1001], std::string("voxcombine"));
}

TEST_F(SendTest, ListSettingsAreWrittenAsTheWordsOfTheirOwnTables) {
  state_.Settings().SetSettingValue("DisplTexExt", 3);
  Send(Sample());
  EXPECT_EQ(OptionLine(CommandText(), "DisplTexExt"), "[DisplTexExt=TIF]");
  EXPECT_EQ(OptionLine(CommandText(), "DisplDepth"), "[DisplDepth=16-bits]");
  state_.Settings().SetSettingValue("DisplTexExt", 4);
  Send(Sample());
  EXPECT_EQ(OptionLine(CommandText(), "DisplTexExt"), "[DisplTexExt=TIFF]");
  EXPECT_EQ(OptionLine(CommandText(), "DisplDepth"), "[DisplDepth=32-bits]");
  state_.Settings().SetSettingValue("DisplTexExt", 5);
  Send(Sample());
  EXPECT_EQ(OptionLine(CommandText(), "DisplTexExt"), "[DisplTexExt=EXR]");
  EXPECT_EQ(OptionLine(CommandText(), "DisplDepth"), "[DisplDepth=32-bits]");

  // Colour lists start with TGA, the displacement list with BMP.
  state_.Settings().SetSettingValue("ColorFileExtension", 1);
  state_.Settings().SetSettingValue("SpecNormExtension", 3);
  state_.Settings().SetSettingValue("DisplTexExt", 1);
  state_.Settings().SetSettingValue("ExportResolution", 1);
  state_.Settings().SetSettingValue("DisplNorm", 3);
  Send(Sample());
  const std::string text = CommandText();
  EXPECT_EQ(OptionLine(text, "ColorFileExtension"), "[ColorFileExtension=BMP]");
  EXPECT_EQ(OptionLine(text, "SpecNormExtension"), "[SpecNormExtension=JPG]");
  EXPECT_EQ(OptionLine(text, "DisplTexExt"), "[DisplTexExt=TGA]");
  EXPECT_EQ(OptionLine(text, "DisplDepth"), "[DisplDepth=8-bits]");
  EXPECT_EQ(OptionLine(text, "ExportResolution"), "[ExportResolution=MID-POLY]");
  EXPECT_EQ(OptionLine(text, "DisplNorm"), "[DisplNorm=ZEROBASED_ABS]");
}

TEST_F(SendTest, FlagsAreWrittenAsStoredAndIndexesOutsideATableGiveItsFirstWord) {
  // Only a hand-edited registry holds such values.
  state_.Settings().SetSettingValue("ExportDispl", 1);
  state_.Settings().SetSettingValue("CoarseMesh", 7);
  state_.Settings().SetSettingValue("ColorFileExtension", 4);
  state_.Settings().SetSettingValue("SpecNormExtension", -1);
  state_.Settings().SetSettingValue("ExportResolution", 2);
  state_.Settings().SetSettingValue("DisplNorm", 1000000);
  state_.Settings().SetSettingValue("DisplTexExt", 6);
  Send(Sample());
  const std::string text = CommandText();
  EXPECT_EQ(OptionLine(text, "ExportDispl"), "[ExportDispl=1]");
  EXPECT_EQ(OptionLine(text, "CoarseMesh"), "[CoarseMesh=7]");
  EXPECT_EQ(OptionLine(text, "ColorFileExtension"), "[ColorFileExtension=TGA]");
  EXPECT_EQ(OptionLine(text, "SpecNormExtension"), "[SpecNormExtension=TGA]");
  EXPECT_EQ(OptionLine(text, "ExportResolution"), "[ExportResolution=LOW-POLY]");
  EXPECT_EQ(OptionLine(text, "DisplNorm"), "[DisplNorm=GREYBASED]");
  EXPECT_EQ(OptionLine(text, "DisplTexExt"), "[DisplTexExt=BMP]");
  EXPECT_EQ(OptionLine(text, "DisplDepth"), "[DisplDepth=8-bits]");
  EXPECT_EQ(Lines(text).size(), 21u);
}

TEST_F(SendTest, ASecondSendReplacesTheWholeCommandFile) {
  ScratchFolder::WriteFile(CommandFile(), std::string(5000, 'x') + "\n[stale]\n");
  Send(Sample(), 1004);
  Send(Sample(), 1002);
  EXPECT_EQ(CommandText(), DefaultCommandText(ModelFile().string(), "mv"));
  for (const auto& entry : fs::directory_iterator(scratch_.ExchangePath()))
    EXPECT_NE(entry.path().extension(), ".part") << "temporary file left: " << entry.path();
}

TEST_F(SendTest, UnsetExecutablePathRefusesWithoutWritingOrClosing) {
  CWinApp app("Host");
  CWnd dialog;
  ASSERT_TRUE(dialog.CreateEx(0, "Dialog", "Pigmora applink", 0, 0, 0, 10, 10, nullptr, nullptr));
  app.m_pMainWnd = &dialog;
  CWnd page;
  ASSERT_TRUE(page.CreateEx(0, "Page", "", 0, 0, 0, 10, 10, dialog.GetSafeHwnd(), nullptr));

  state_.Settings().SetSettingString("exePath", "...");
  state_.Plugin().CurrentTreeObject = Sample();
  RunSendCommand(&page, 1001, state_.Plugin().ForSend());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].caption, "Error");
  EXPECT_EQ(Boxes()[0].text, "Path to Pigmora was not set (see Options tab)");
  EXPECT_EQ(Boxes()[0].type, static_cast<UINT>(MB_ICONERROR));
  EXPECT_EQ(Boxes()[0].owner, page.GetSafeHwnd());
  EXPECT_FALSE(fs::exists(CommandFile()));
  EXPECT_FALSE(fs::exists(ModelFile()));
  EXPECT_TRUE(IsWindow(dialog.GetSafeHwnd())) << "the user must reach the Options tab";

  // Only "..." means unset: any other text, even an empty one, sends.
  state_.Settings().SetSettingString("exePath", "");
  RunSendCommand(&page, 1001, state_.Plugin().ForSend());
  EXPECT_TRUE(fs::exists(CommandFile()));
  EXPECT_TRUE(fs::exists(ModelFile()));
  EXPECT_EQ(dialog.GetSafeHwnd(), nullptr) << "a send closes the applink dialog";
  app.m_pMainWnd = nullptr;
}

TEST_F(SendTest, WithoutAModelNothingIsWrittenAndTheDialogStaysOpen) {
  CWinApp app("Host");
  CWnd dialog;
  ASSERT_TRUE(dialog.CreateEx(0, "Dialog", "Pigmora applink", 0, 0, 0, 10, 10, nullptr, nullptr));
  app.m_pMainWnd = &dialog;

  HModelCache* loose = HModelCache::New("Loose", 0);  // in no folder: no parent
  HTreeObject* objectsFolder = FindTreeObjectByPath(project_, "Objects");
  HTreeObject* imageClip = FindTreeObjectByPath(project_, "Images/sample_color");
  ASSERT_NE(imageClip, nullptr);
  for (HTreeObject* object : {static_cast<HTreeObject*>(nullptr), static_cast<HTreeObject*>(loose),
                              static_cast<HTreeObject*>(project_), objectsFolder, imageClip}) {
    AfxGetHeadlessDisplay().ClearMessageBoxes();
    Send(object);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].caption, "Error");
    EXPECT_EQ(Boxes()[0].text, "No model is selected");
    EXPECT_EQ(Boxes()[0].Icon(), static_cast<UINT>(MB_ICONERROR));
  }
  EXPECT_FALSE(fs::exists(CommandFile()));
  EXPECT_FALSE(fs::exists(ModelFile()));
  EXPECT_TRUE(IsWindow(dialog.GetSafeHwnd()));
  HTreeObject::DeleteHandle(loose);
  app.m_pMainWnd = nullptr;
}

TEST_F(SendTest, AnInstanceInASceneSendsItsModel) {
  HTreeObject* instance = FindTreeObjectByPath(project_, "Scenes/Scene1/Sample");
  ASSERT_NE(instance, nullptr);
  Send(instance);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(ReadWithOurReader(ModelFile().string()).nodeName, "Sample");
}

TEST_F(SendTest, AnUnwritableCommandFileIsSkippedSilentlyAndLeavesNoTemporaryFile) {
  // A folder (not empty) where the command file should be: the rename over it fails.
  ScratchFolder::WriteFile(CommandFile() / "keep", "x");
  CWinApp app("Host");
  CWnd dialog;
  ASSERT_TRUE(dialog.CreateEx(0, "Dialog", "Pigmora applink", 0, 0, 0, 10, 10, nullptr, nullptr));
  app.m_pMainWnd = &dialog;
  Send(Sample());
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(fs::is_directory(CommandFile()));
  EXPECT_FALSE(fs::exists(CommandFile().string() + ".part"));
  EXPECT_TRUE(fs::is_regular_file(ModelFile())) << "the model is still sent";
  EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
  app.m_pMainWnd = nullptr;
}

TEST_F(SendTest, AFailedSaveIsReportedAfterTheCommandFileWasWrittenAndTheDialogCloses) {
  // A folder (not empty) where the model file should be: the writer cannot put it there.
  ScratchFolder::WriteFile(ModelFile() / "keep", "x");
  CWinApp app("Host");
  CWnd dialog;
  ASSERT_TRUE(dialog.CreateEx(0, "Dialog", "Pigmora applink", 0, 0, 0, 10, 10, nullptr, nullptr));
  app.m_pMainWnd = &dialog;
  Send(Sample(), 1003);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].caption, "Error");
  EXPECT_EQ(Boxes()[0].text, "An error occurred while saving the FBX scene");
  EXPECT_EQ(Boxes()[0].Icon(), static_cast<UINT>(MB_ICONERROR));
  EXPECT_EQ(CommandText(), DefaultCommandText(ModelFile().string(), "ptex"));
  EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);

  // A data folder that is a file: nothing can be created in it.
  fs::remove_all(ModelFile().parent_path());
  ScratchFolder::WriteFile(ModelFile().parent_path(), "not a folder");
  AfxGetHeadlessDisplay().ClearMessageBoxes();
  Send(Sample());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, "An error occurred while saving the FBX scene");
  app.m_pMainWnd = nullptr;
}

TEST_F(SendTest, NotAModeButtonSendsNothing) {
  Send(Sample(), 1000);
  Send(Sample(), 1013);
  Send(Sample(), 0);
  EXPECT_FALSE(fs::exists(CommandFile()));
  EXPECT_FALSE(fs::exists(ModelFile()));
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
