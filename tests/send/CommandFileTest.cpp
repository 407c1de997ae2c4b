// The command file: what Pigmora is told, when it is written and when not.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>

#include <Plugin/HGroup.h>
#include <Plugin/HImage.h>

#include "SendFixture.h"
#include "app/PluginState.h"
#include "send/SendCommand.h"
#include "settings/ApplinkSettings.h"
#include "ui/DlgIO.h"

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
  // Two neighbours whose keywords share a beginning: each button its own.
  Send(Sample(), 1005);
  EXPECT_EQ(Lines(CommandText()).at(2), "[voxcombine]");
  Send(Sample(), 1004);
  EXPECT_EQ(Lines(CommandText()).at(2), "[vox]");
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

  // Color lists start with TGA, the displacement list with BMP.
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

  // Every entry of the image lists the dialog offers reaches Pigmora as its own word.
  const char* const kImageWords[] = {"TGA", "BMP", "PNG", "JPG"};
  for (int entry = 0; entry < 4; ++entry) {
    state_.Settings().SetSettingValue("ColorFileExtension", entry);
    state_.Settings().SetSettingValue("SpecNormExtension", 3 - entry);
    Send(Sample());
    const std::string sent = CommandText();
    EXPECT_EQ(OptionLine(sent, "ColorFileExtension"), std::string("[ColorFileExtension=") + kImageWords[entry] + "]");
    EXPECT_EQ(OptionLine(sent, "SpecNormExtension"), std::string("[SpecNormExtension=") + kImageWords[3 - entry] + "]");
  }
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
  state_.Plugin().CurrentTreeObject.Set(Sample());
  PressModeButton(&page, 1001, state_.Plugin().ForSend());
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
  PressModeButton(&page, 1001, state_.Plugin().ForSend());
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

// Pigmora sees a send only through its command file: one that cannot be
// written is a failed send. The user learns which file and why, the model file
// is not written for nobody, and the dialog stays open for another try.
TEST_F(SendTest, ACommandFileThatCannotBeWrittenIsReportedAndNothingElseIsWritten) {
  CWinApp app("Host");
  CWnd dialog;
  ASSERT_TRUE(dialog.CreateEx(0, "Dialog", "Pigmora applink", 0, 0, 0, 10, 10, nullptr, nullptr));
  app.m_pMainWnd = &dialog;
  const std::string commandFile = CommandFile().string();
  const std::string exchange = scratch_.ExchangePath().string();
  struct Case {
    const char* what;
    std::function<void()> arrange;
    std::string reason;
  };
  std::vector<Case> cases = {
      {"a folder in its place", [&] { ScratchFolder::WriteFile(CommandFile() / "keep", "x"); },
       "a folder is in its place"},
      {"a pipe in its place", [&] { ASSERT_EQ(mkfifo(commandFile.c_str(), 0600), 0); },
       "something other than a regular file (a pipe or a device) is in its place"},
      {"a file where the exchange folder should be",
       [&] {
         fs::rename(scratch_.ExchangePath(), scratch_.Path("moved"));
         ScratchFolder::WriteFile(scratch_.ExchangePath(), "not a folder");
       },
       "'" + exchange + "' is a file where a folder should be"},
      {"a link that leads to itself where the exchange folder should be",
       [&] {
         fs::rename(scratch_.ExchangePath(), scratch_.Path("moved"));
         fs::create_symlink(scratch_.ExchangePath(), scratch_.ExchangePath());
       },
       "the folder '" + exchange +
           "' cannot be reached: links on its path lead round in a loop (The name of the file cannot be resolved by "
           "the system)"},
  };
  const std::string readOnlyReason = "the folder '" + exchange + "' cannot be written to (Access is denied)";
  if (geteuid() != 0) {  // the superuser's case runs below, as another user
    cases.push_back(
        {"a read-only exchange folder",
         [&] { fs::permissions(scratch_.ExchangePath(), fs::perms::owner_write, fs::perm_options::remove); },
         readOnlyReason});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::error_code unreachable;  // behind a loop of links
    c.arrange();
    AfxGetHeadlessDisplay().ClearMessageBoxes();
    Send(Sample());
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].caption, "Error");
    EXPECT_EQ(Boxes()[0].Icon(), static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(Boxes()[0].text, "Can't write the command file '" + commandFile + "': " + c.reason);
    EXPECT_FALSE(fs::exists(ModelFile(), unreachable)) << "the model file is written only after the command file";
    EXPECT_FALSE(fs::exists(commandFile + ".part", unreachable));
    EXPECT_TRUE(IsWindow(dialog.GetSafeHwnd())) << "the dialog stays open";
    // Put things right for the next case.
    if (fs::exists(scratch_.Path("moved"))) {
      fs::remove(scratch_.ExchangePath());
      fs::rename(scratch_.Path("moved"), scratch_.ExchangePath());
    }
    fs::permissions(scratch_.ExchangePath(), fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(CommandFile());
  }
  if (geteuid() == 0) {
    // Permissions do not hold the superuser back, so a read-only exchange
    // folder is met by an unprivileged user in a child process.
    for (fs::path folder = scratch_.ExchangePath(); folder != scratch_.Root().parent_path();
         folder = folder.parent_path())
      fs::permissions(folder, fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    fs::permissions(scratch_.ExchangePath(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const pid_t child = fork();
    if (child == 0) {
      if (setegid(65534) != 0 || seteuid(65534) != 0) _exit(3);
      AfxGetHeadlessDisplay().ClearMessageBoxes();
      Send(Sample());
      const bool told = Boxes().size() == 1 &&
                        Boxes()[0].text == "Can't write the command file '" + commandFile + "': " + readOnlyReason;
      _exit(told && !fs::exists(ModelFile()) ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    fs::permissions(scratch_.ExchangePath(), fs::perms::owner_all, fs::perm_options::add);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a read-only exchange folder, met as another user: 1 is the wrong box or a "
                                         "model file, 3 is no change of user";
  }
  // Once the way is clear the same dialog sends.
  Send(Sample());
  EXPECT_EQ(CommandText(), DefaultCommandText(ModelFile().string()));
  EXPECT_TRUE(fs::is_regular_file(ModelFile()));
  EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
  app.m_pMainWnd = nullptr;
}

// The temporary file beside the command file has a fixed name, so anyone may
// put something there. A pipe or device is never opened (a pipe would hold
// the send until someone read it) and nothing of it is removed: the send
// names it, the old command file stays, and the model file is not written.
TEST_F(SendTest, SomethingAtTheTemporaryNameIsNamedWithoutWaitingOnIt) {
  const std::string temporary = CommandFile().string() + ".part";
  struct Case {
    const char* what;
    std::function<void()> arrange;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"a pipe", [&] { ASSERT_EQ(mkfifo(temporary.c_str(), 0600), 0); },
       "something other than a regular file (a pipe or a device)"},
      {"a link to a device", [&] { fs::create_symlink("/dev/full", temporary); },
       "something other than a regular file (a pipe or a device)"},
      {"a folder", [&] { ScratchFolder::WriteFile(fs::path(temporary) / "keep", "x"); }, "a folder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder::WriteFile(CommandFile(), "old command\n");
    c.arrange();
    AfxGetHeadlessDisplay().ClearMessageBoxes();
    Send(Sample());
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "Can't write the command file '" + CommandFile().string() + "': '" + temporary +
                                   "' is in the way (" + c.reason + ")");
    EXPECT_EQ(CommandText(), "old command\n");
    EXPECT_TRUE(fs::exists(fs::symlink_status(temporary))) << "what someone else put there stays";
    EXPECT_FALSE(fs::exists(ModelFile()));
    fs::remove_all(temporary);
  }
  Send(Sample());
  EXPECT_EQ(CommandText(), DefaultCommandText(ModelFile().string()));
}

TEST_F(SendTest, ALinkAtTheTemporaryNameIsNeverWrittenThrough) {
  const std::string temporary = CommandFile().string() + ".part";
  const fs::path precious = scratch_.Path("precious.txt");
  ScratchFolder::WriteFile(precious, "the user's own words\n");
  fs::create_symlink(precious, temporary);
  Send(Sample());
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(CommandText(), DefaultCommandText(ModelFile().string()));
  EXPECT_EQ(ScratchFolder::ReadFile(precious), "the user's own words\n");
  EXPECT_FALSE(fs::exists(fs::symlink_status(temporary)));
}

// A file that outgrows what the system lets it have: the file that could not
// be written is named with the reason, whichever of the two it is. A file-size
// limit plays the full disk (the command file first, then the model file).
TEST_F(SendTest, AFileThatCannotBeWrittenInFullIsNamed) {
  ScratchFolder::WriteFile(CommandFile(), "old command\n");
  struct rlimit original {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &original), 0);
  void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit tiny = original;
  tiny.rlim_cur = 100;  // less than the command file
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
  Send(Sample());
  setrlimit(RLIMIT_FSIZE, &original);
  std::signal(SIGXFSZ, previous);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, "Can't write the command file '" + CommandFile().string() +
                                 "': writing failed (The file size exceeds the limit allowed and cannot be saved)");
  EXPECT_FALSE(fs::exists(ModelFile()));
  EXPECT_EQ(CommandText(), "old command\n") << "the old file stays whole";
  EXPECT_FALSE(fs::exists(CommandFile().string() + ".part"));
  fs::remove(CommandFile());

  previous = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limit = original;
  limit.rlim_cur = 2000;  // the command file fits, the model file does not
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  Send(Sample());
  setrlimit(RLIMIT_FSIZE, &original);
  std::signal(SIGXFSZ, previous);
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(
      Boxes()[1].text.rfind("An error occurred while saving the FBX scene to '" + ModelFile().string() + "': ", 0), 0u)
      << Boxes()[1].text;
  EXPECT_NE(Boxes()[1].text.find("File too large"), std::string::npos) << Boxes()[1].text;
  EXPECT_EQ(CommandText(), DefaultCommandText(ModelFile().string()));
  EXPECT_FALSE(fs::exists(ModelFile()));
}

// The command file is read line by line, so a path with a line break in it
// would reach Pigmora cut in two: such a documents folder is refused.
TEST_F(SendTest, ADocumentsFolderWithALineBreakIsRefusedBeforeAnythingIsWritten) {
  for (const char* name : {"Docs\nmore", "Docs\r"}) {
    SCOPED_TRACE(testing::PrintToString(std::string(name)));
    const std::string documents = scratch_.Path(name);
    setenv("HASH_DOCUMENTS_DIR", documents.c_str(), 1);
    state_.Stop();
    state_.Start(true);
    project_ = state_.project;
    state_.Settings().SetSettingString("exePath", "/opt/pigmora/Pigmora");
    Send(Sample());
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].caption, "Error");
    EXPECT_NE(Boxes()[0].text.find("line break"), std::string::npos) << Boxes()[0].text;
    EXPECT_NE(Boxes()[0].text.find(documents), std::string::npos) << Boxes()[0].text;
    const fs::path exchange = fs::path(documents) / "PigmoraV3" / "Exchange";
    EXPECT_FALSE(fs::exists(exchange / "import.txt"));
    EXPECT_FALSE(fs::exists(exchange / "Hash" / "data" / "export.fbx"));
  }
}

// The host's polygon model holds names of up to 255 characters; a longer one
// is named in the message before anything is written, and 255 still sends.
TEST_F(SendTest, AGroupNameOverTheLimitIsNamedBeforeAnythingIsWritten) {
  HGroup* group = Sample()->GetChildGroupContainer()->GetChildGroup();
  ASSERT_NE(group, nullptr);
  const std::string longest(255, 'g');
  group->SetName(longest.c_str());
  Send(Sample());
  EXPECT_TRUE(Boxes().empty()) << Boxes().front().text;
  const std::vector<std::string> materials = ReadWithOurReader(ModelFile().string()).materials;
  EXPECT_NE(std::find(materials.begin(), materials.end(), longest), materials.end()) << "the group went out whole";

  fs::remove(CommandFile());
  fs::remove(ModelFile());
  const std::string tooLong = std::string(200, 'a') + std::string(56, 'b');
  group->SetName(tooLong.c_str());
  Send(Sample());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, "The group '" + std::string(60, 'a') +
                                 "...' has a name of 256 characters; a group name sent to Pigmora may have at most "
                                 "255. Rename the group and send again.");
  EXPECT_FALSE(fs::exists(CommandFile()));
  EXPECT_FALSE(fs::exists(ModelFile()));
}

TEST_F(SendTest, AnImagePathOverTheLimitIsNamedBeforeAnythingIsWritten) {
  auto* image = dynamic_cast<HImage*>(FindTreeObjectByPath(project_, "Images/sample_color"));
  ASSERT_NE(image, nullptr);
  const std::string path = "/" + std::string(300, 'p') + ".png";
  image->GetFilename()->SetValue(path.c_str());
  Send(Sample());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].text.find("'sample_color' is loaded from a path of 305 characters"), std::string::npos)
      << Boxes()[0].text;
  EXPECT_NE(Boxes()[0].text.find("at most 255"), std::string::npos) << Boxes()[0].text;
  EXPECT_FALSE(fs::exists(CommandFile()));
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
  EXPECT_EQ(Boxes()[0].text, "An error occurred while saving the FBX scene to '" + ModelFile().string() +
                                 "': cannot write '" + ModelFile().string() + "': it is a folder");
  EXPECT_EQ(Boxes()[0].Icon(), static_cast<UINT>(MB_ICONERROR));
  EXPECT_EQ(CommandText(), DefaultCommandText(ModelFile().string(), "ptex"));
  EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);

  // A data folder that is a file: nothing can be created in it.
  fs::remove_all(ModelFile().parent_path());
  ScratchFolder::WriteFile(ModelFile().parent_path(), "not a folder");
  AfxGetHeadlessDisplay().ClearMessageBoxes();
  Send(Sample());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(
      Boxes()[0].text.rfind("An error occurred while saving the FBX scene to '" + ModelFile().string() + "': ", 0), 0u)
      << Boxes()[0].text;
  EXPECT_NE(Boxes()[0].text.find("Not a directory"), std::string::npos) << Boxes()[0].text;
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
