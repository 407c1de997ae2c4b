#include <sys/stat.h>
#if !defined(_WIN32)  // POSIX-only fixture
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>

#include "FileTimes.h"
#include "ReceiveFixture.h"
#include "TestEnvironment.h"
#include "receive/AnswerTextFile.h"
#include "receive/ReceiveModel.h"

using namespace pigmora;

namespace {

class ReceiveModelTest : public ReceiveFixture {
protected:
  // A complete answer: the model file, "textures.txt", then "export.txt".
  void WriteAnswer(const std::string& exportText = "") {
    ASSERT_TRUE(WriteMeshFile(GridPlan(1, {"A"}), scratch_.Path("answer.fbx")));
    WriteTextures({{"A", "map1", "color", scratch_.Path("a.tga")}});
    ScratchFolder::WriteFile(scratch_.ExchangePath() / "export.txt",
                             exportText.empty() ? scratch_.Path("answer.fbx") + "\n" : exportText);
  }
  bool PairPresent() const {
    return std::filesystem::exists(scratch_.ExchangePath() / "export.txt") ||
           std::filesystem::exists(scratch_.ExchangePath() / "textures.txt");
  }
  // Every name in the exchange folder, sorted.
  std::vector<std::string> ExchangeNames() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(scratch_.ExchangePath()))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  void Age(const char* name, int seconds) {
    MoveModifiedTimeBack(scratch_.ExchangePath() / name, std::chrono::seconds(seconds));
  }
};

TEST_F(ReceiveModelTest, AnIncompletePairIsLeftAloneSilently) {
  WriteTextures({{"A", "map1", "color", "/t/a.tga"}});
  EXPECT_EQ(state_.Plugin().Receive(), 0);
  EXPECT_TRUE(std::filesystem::exists(scratch_.ExchangePath() / "textures.txt"));
  std::filesystem::remove(scratch_.ExchangePath() / "textures.txt");
  ScratchFolder::WriteFile(scratch_.ExchangePath() / "export.txt", "/t/x.fbx\n");
  EXPECT_EQ(state_.Plugin().Receive(), 0);
  EXPECT_TRUE(std::filesystem::exists(scratch_.ExchangePath() / "export.txt"));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ReceiveModelTest, TheCommandImportsAtOnceAndDeletesThePair) {
  WriteAnswer(scratch_.Path("answer.fbx") + " \t\r\nsecond line is ignored\n");
  EXPECT_EQ(state_.Plugin().Receive(), 1);
  EXPECT_TRUE(Boxes().empty()) << Boxes().front().text;
  EXPECT_NE(Model("Cube"), nullptr);
  EXPECT_FALSE(PairPresent());
  EXPECT_TRUE(std::filesystem::exists(scratch_.Path("answer.fbx"))) << "the model file itself stays";
}

TEST_F(ReceiveModelTest, AMissingModelFileIsReportedOnceAndThePairDeleted) {
  WriteTextures({{"A", "map1", "color", "/t/a.tga"}});
  ScratchFolder::WriteFile(scratch_.ExchangePath() / "export.txt", scratch_.Path("gone.fbx") + "\n");
  EXPECT_EQ(state_.Plugin().Receive(), 1);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, "Import: FBX file is not exists");
  EXPECT_EQ(Boxes()[0].caption, "Pigmora");
  EXPECT_EQ(Boxes()[0].Icon(), static_cast<UINT>(MB_ICONERROR));
  EXPECT_FALSE(PairPresent());
  EXPECT_EQ(state_.Plugin().Receive(), 0);
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(CountModels(), 0);
}

TEST_F(ReceiveModelTest, ADamagedModelFileShowsItsBoxAndStillCountsAsProcessed) {
  ASSERT_TRUE(WriteMeshFile(GridPlan(1, {"A"}), scratch_.Path("answer.fbx")));
  std::filesystem::resize_file(scratch_.Path("answer.fbx"), 200);  // cut off after the header
  WriteTextures({{"A", "map1", "color", "/t/a.tga"}});
  ScratchFolder::WriteFile(scratch_.ExchangePath() / "export.txt", scratch_.Path("answer.fbx") + "\n");
  EXPECT_EQ(state_.Plugin().Receive(), 1) << "processed, though not imported";
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].caption, "Pigmora");
  EXPECT_EQ(Boxes()[0].Icon(), static_cast<UINT>(MB_ICONERROR));
  EXPECT_FALSE(Boxes()[0].text.empty());
  EXPECT_EQ(CountModels(), 0);
  EXPECT_FALSE(PairPresent());
}

TEST_F(ReceiveModelTest, TheTimerWaitsUntilThePairHasBeenStillForASecond) {
  WriteAnswer();
  EXPECT_EQ(state_.Plugin().Receive(ReceiveTrigger::Timer), 0) << "just written: the peer may still be at it";
  AfxRunMessageLoop(600);
  EXPECT_EQ(state_.Plugin().Receive(ReceiveTrigger::Timer), 0);
  // Rewritten meanwhile: the second starts again.
  ScratchFolder::WriteFile(scratch_.ExchangePath() / "export.txt", scratch_.Path("answer.fbx") + "\n\n");
  AfxRunMessageLoop(600);
  EXPECT_EQ(state_.Plugin().Receive(ReceiveTrigger::Timer), 0);
  AfxRunMessageLoop(600);
  EXPECT_EQ(state_.Plugin().Receive(ReceiveTrigger::Timer), 0) << "still for 0.6 s only";
  AfxRunMessageLoop(400);
  EXPECT_EQ(state_.Plugin().Receive(ReceiveTrigger::Timer), 1);
  EXPECT_NE(Model("Cube"), nullptr);
  EXPECT_FALSE(PairPresent());
}

TEST_F(ReceiveModelTest, TheTimerWaitsForTheYoungerFileWhicheverItIs) {
  for (const char* old : {"export.txt", "textures.txt"}) {
    WriteAnswer();
    Age(old, 5);
    EXPECT_EQ(state_.Plugin().Receive(ReceiveTrigger::Timer), 0) << old << " old, the other just written";
    AfxRunMessageLoop(600);
    EXPECT_EQ(state_.Plugin().Receive(ReceiveTrigger::Timer), 0) << old << " old, the other still for 0.6 s";
    AfxRunMessageLoop(400);
    EXPECT_EQ(state_.Plugin().Receive(ReceiveTrigger::Timer), 1) << old << " old, the other still for a second";
    EXPECT_FALSE(PairPresent());
  }
  EXPECT_TRUE(Boxes().empty()) << Boxes().front().text;
}

TEST_F(ReceiveModelTest, TheTimerTakesAPairWrittenMoreThanASecondAgoAtOnce) {
  WriteAnswer();
  Age("export.txt", 5);
  Age("textures.txt", 5);
  EXPECT_EQ(state_.Plugin().Receive(ReceiveTrigger::Timer), 1);
  EXPECT_NE(Model("Cube"), nullptr);
}

// On Windows the writer's open file cannot even be renamed; on every system the answer is left
// whole, under its own names, and taken once the writer lets go.
TEST_F(ReceiveModelTest, AnAnswerItsWriterStillHoldsWaitsWholeUntilTheWriterLetsGo) {
  WriteAnswer();
  Age("export.txt", 5);
  Age("textures.txt", 5);
  for (const char* held : {"export.txt", "textures.txt"}) {
    CFile writer;
    ASSERT_TRUE(writer.Open((scratch_.ExchangePath() / held).string().c_str(),
                            CFile::modeWrite | CFile::modeCreate | CFile::modeNoTruncate | CFile::shareExclusive));
    EXPECT_EQ(state_.Plugin().Receive(ReceiveTrigger::Timer), 0) << held;
    EXPECT_TRUE(Boxes().empty()) << "the timer tries again on its next tick, quietly";
    EXPECT_EQ(state_.Plugin().Receive(), 0) << held;
    ASSERT_EQ(Boxes().size(), 1u) << held;
    EXPECT_EQ(Boxes()[0].text, std::string("Pigmora is still writing '") + held +
                                   "'; its answer stays in the exchange folder until it is done");
    EXPECT_EQ(ExchangeNames(), (std::vector<std::string>{"Hash", "export.txt", "textures.txt"})) << held;
    AfxGetHeadlessDisplay().ClearMessageBoxes();
  }
  AfxRunMessageLoop(1000);
  EXPECT_EQ(state_.Plugin().Receive(ReceiveTrigger::Timer), 1);
  EXPECT_NE(Model("Cube"), nullptr);
  EXPECT_FALSE(PairPresent());
}

TEST_F(ReceiveModelTest, AnUndeletablePairIsReportedOnceAndIgnoredUntilItChanges) {
  WriteTextures({{"A", "map1", "color", "/t/a.tga"}});
  // A folder in the place of "export.txt" can be neither read nor deleted as a file.
  std::filesystem::create_directories(scratch_.ExchangePath() / "export.txt");
  Age("export.txt", 5);
  Age("textures.txt", 5);
  EXPECT_EQ(state_.Plugin().Receive(ReceiveTrigger::Timer), 1);
  const std::size_t shown = Boxes().size();
  ASSERT_GE(shown, 1u);
  EXPECT_NE(Boxes().back().text.find("Can't delete 'export.txt'"), std::string::npos) << Boxes().back().text;
  for (int tick = 0; tick < 5; ++tick) {
    AfxRunMessageLoop(1000);
    EXPECT_EQ(state_.Plugin().Receive(ReceiveTrigger::Timer), 0);
  }
  EXPECT_EQ(Boxes().size(), shown) << "reported once, not every second";

  // Pigmora answers again: the pair changed, so the timer looks at it again.
  WriteTextures({{"A", "map1", "color", "/t/b.tga"}});
  Age("textures.txt", 5);
  EXPECT_EQ(state_.Plugin().Receive(ReceiveTrigger::Timer), 1);
  EXPECT_GT(Boxes().size(), shown);
}

TEST_F(ReceiveModelTest, APairNeitherFileOfWhichCanBeDeletedIsNamedWholeAndReportedOnce) {
  // Folders in the place of both files: neither is read nor deleted as a file.
  std::filesystem::create_directories(scratch_.ExchangePath() / "export.txt");
  std::filesystem::create_directories(scratch_.ExchangePath() / "textures.txt");
  Age("export.txt", 5);
  Age("textures.txt", 5);
  EXPECT_EQ(state_.Plugin().Receive(ReceiveTrigger::Timer), 1);
  const std::size_t shown = Boxes().size();
  ASSERT_GE(shown, 1u);
  EXPECT_NE(Boxes().back().text.find("Can't delete 'export.txt' and 'textures.txt'"), std::string::npos)
      << Boxes().back().text;
  EXPECT_EQ(ExchangeNames(), (std::vector<std::string>{"Hash", "export.txt", "textures.txt"}))
      << "left where they were, under their own names";
  for (int tick = 0; tick < 3; ++tick) {
    AfxRunMessageLoop(1000);
    EXPECT_EQ(state_.Plugin().Receive(ReceiveTrigger::Timer), 0);
  }
  EXPECT_EQ(Boxes().size(), shown);
}

#if !defined(_WIN32)  // POSIX-only fixture
TEST_F(ReceiveModelTest, AnswerFilesThatAreNoRegularFilesOrHoldOverlongLinesAreRefusedAtOnce) {
  ASSERT_TRUE(WriteMeshFile(GridPlan(1, {"A"}), scratch_.Path("answer.fbx")));
  const auto exportFile = scratch_.ExchangePath() / "export.txt";
  const auto texturesFile = scratch_.ExchangePath() / "textures.txt";
  struct Case {
    const char* what;
    std::function<void()> make;
    const char* told;
  };
  const std::string longLine(kAnswerLineLimit + 1, 'x');
  const std::vector<Case> cases = {
      {"export.txt a FIFO", [&] { mkfifo(exportFile.c_str(), 0600); },
       "Can't open 'export.txt' for reading: it is not a regular file"},
      {"export.txt a link to /dev/zero", [&] { std::filesystem::create_symlink("/dev/zero", exportFile); },
       "Can't open 'export.txt' for reading: it is not a regular file"},
      {"textures.txt a FIFO", [&] { mkfifo(texturesFile.c_str(), 0600); },
       "Can't open 'textures.txt' for reading: it is not a regular file"},
      {"textures.txt a link to /dev/zero", [&] { std::filesystem::create_symlink("/dev/zero", texturesFile); },
       "Can't open 'textures.txt' for reading: it is not a regular file"},
      {"export.txt with an overlong line", [&] { ScratchFolder::WriteFile(exportFile, longLine + "\n"); },
       "'export.txt' is damaged: line 1 is longer than"},
      {"textures.txt with an overlong line",
       [&] { ScratchFolder::WriteFile(texturesFile, "A\nmap1\ncolor\n" + longLine + "\n"); },
       "'textures.txt' is damaged: line 4 is longer than"},
      {"the model file a FIFO",
       [&] {
         mkfifo(scratch_.Path("fifo.fbx").c_str(), 0600);
         ScratchFolder::WriteFile(exportFile, scratch_.Path("fifo.fbx") + "\n");
       },
       "is not a regular file"},
  };
  for (const Case& c : cases) {
    AfxGetHeadlessDisplay().ClearMessageBoxes();
    c.make();
    if (!std::filesystem::exists(std::filesystem::symlink_status(exportFile)))
      ScratchFolder::WriteFile(exportFile, scratch_.Path("answer.fbx") + "\n");
    if (!std::filesystem::exists(std::filesystem::symlink_status(texturesFile)))
      WriteTextures({{"A", "map1", "color", scratch_.Path("a.tga")}});
    EXPECT_EQ(state_.Plugin().Receive(), 1) << c.what;
    bool told = false;
    for (const AfxMessageBoxRecord& box : Boxes()) {
      told = told || box.text.find(c.told) != std::string::npos;
      EXPECT_EQ(box.caption, "Pigmora") << c.what;
    }
    EXPECT_TRUE(told) << c.what << ": " << (Boxes().empty() ? "no box" : Boxes().back().text);
    EXPECT_EQ(ExchangeNames(), (std::vector<std::string>{"Hash"})) << c.what << ": the pair is deleted";
    EXPECT_EQ(CountModels(), 0) << c.what;
  }
}
#endif

#if !defined(_WIN32)  // POSIX-only fixture
TEST_F(ReceiveModelTest, TwoHostsWatchingOneFolderImportEachAnswerOnceAndQuietly) {
  for (int trial = 0; trial < 8; ++trial) {
    WriteAnswer();
    const TwoHosts hosts = ReceiveInTwoHostsAtOnce();
    EXPECT_EQ(hosts.showedBoxes, 0) << "trial " << trial;
    EXPECT_EQ(hosts.imported, 1) << "trial " << trial;
    EXPECT_EQ(ExchangeNames(), (std::vector<std::string>{"Hash"})) << "trial " << trial;
  }
}
#endif

// A display that, like an on-screen one, lets the timer tick while a box is up.
class TickingDisplay : public AfxDisplay {
public:
  explicit TickingDisplay(std::function<void()> tick) : tick_(std::move(tick)) {}
  int ShowMessageBox(const AfxMessageBoxRecord& box) override {
    ++boxes_;
    tick_();
    return AfxMessageBoxDefaultAnswer(box.type);
  }
  void WaitForEvents(int) override {}
  int BoxCount() const { return boxes_; }

private:
  std::function<void()> tick_;
  int boxes_ = 0;
};

TEST_F(ReceiveModelTest, ATickWhileAReceiveShowsABoxStartsNoSecondReceive) {
  WriteTextures({{"A", "map1", "color", "/t/a.tga"}});
  ScratchFolder::WriteFile(scratch_.ExchangePath() / "export.txt", scratch_.Path("gone.fbx") + "\n");
  std::vector<int> nested;
  TickingDisplay display([&] {
    nested.push_back(state_.Plugin().Receive(ReceiveTrigger::Timer));
    nested.push_back(state_.Plugin().Receive(ReceiveTrigger::Command));
  });
  AfxSetDisplay(&display);
  const int result = state_.Plugin().Receive();
  AfxSetDisplay(nullptr);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(display.BoxCount(), 1) << "the box of the one receive shown once";
  for (int r : nested) EXPECT_EQ(r, 0);
  EXPECT_FALSE(PairPresent());
}

// Runs what is given when the receive shows its first box, as the user or
// Pigmora might act while the box is up.
class ActingDisplay : public AfxDisplay {
public:
  explicit ActingDisplay(std::function<void()> act) : act_(std::move(act)) {}
  int ShowMessageBox(const AfxMessageBoxRecord& box) override {
    texts_.push_back(box.text);
    if (texts_.size() == 1) act_();
    return AfxMessageBoxDefaultAnswer(box.type);
  }
  void WaitForEvents(int) override {}
  const std::vector<std::string>& Texts() const { return texts_; }

private:
  std::function<void()> act_;
  std::vector<std::string> texts_;
};

TEST_F(ReceiveModelTest, AnAnswerArrivingWhileAReceiveRunsStaysForTheNextReceive) {
  WriteTextures({{"A", "map1", "color", "/t/a.tga"}});
  ScratchFolder::WriteFile(scratch_.ExchangePath() / "export.txt", scratch_.Path("gone.fbx") + "\n");
  ActingDisplay display([&] { WriteAnswer(); });  // Pigmora answers again meanwhile
  AfxSetDisplay(&display);
  const int first = state_.Plugin().Receive();
  AfxSetDisplay(nullptr);
  EXPECT_EQ(first, 1);
  ASSERT_FALSE(display.Texts().empty());
  EXPECT_EQ(display.Texts().front(), "Import: FBX file is not exists");
  EXPECT_EQ(ExchangeNames(), (std::vector<std::string>{"Hash", "export.txt", "textures.txt"}));
  EXPECT_EQ(CountModels(), 0);

  EXPECT_EQ(state_.Plugin().Receive(), 1);
  EXPECT_TRUE(Boxes().empty()) << Boxes().front().text;
  EXPECT_NE(Model("Cube"), nullptr);
  EXPECT_FALSE(PairPresent());
}

TEST_F(ReceiveModelTest, AnAnswerFileAlreadyGoneCountsAsDeleted) {
  WriteTextures({{"A", "map1", "color", "/t/a.tga"}});
  ScratchFolder::WriteFile(scratch_.ExchangePath() / "export.txt", scratch_.Path("gone.fbx") + "\n");
  // Someone tidies the exchange folder while the receive's box is up.
  ActingDisplay display([&] {
    for (const std::string& name : ExchangeNames()) {
      if (name.rfind("export.txt", 0) == 0 || name.rfind("textures.txt", 0) == 0)
        std::filesystem::remove(scratch_.ExchangePath() / name);
    }
  });
  AfxSetDisplay(&display);
  EXPECT_EQ(state_.Plugin().Receive(), 1);
  AfxSetDisplay(nullptr);
  for (const std::string& text : display.Texts()) EXPECT_EQ(text.find("Can't delete"), std::string::npos) << text;
  EXPECT_EQ(ExchangeNames(), (std::vector<std::string>{"Hash"}));
}

}  // namespace

namespace {

// One cause, one box that names it: what follows from the cause (no FBX path,
// nothing to load, a folder that cannot be deleted as a file) is not told as
// causes of their own.
TEST_F(ReceiveModelTest, OneCauseShowsOneBoxThatNamesIt) {
  const auto exportFile = scratch_.ExchangePath() / "export.txt";
  struct Case {
    const char* what;
    std::function<void()> make;
    std::string box;
    std::vector<std::string> left;
  };
  const std::vector<Case> cases = {
#if !defined(_WIN32)  // POSIX-only fixture
    {"export.txt a FIFO",
     [&] { mkfifo(exportFile.c_str(), 0600); },
     "Can't open 'export.txt' for reading: it is not a regular file",
     {"Hash"}},
#endif
    {"export.txt a folder",
     [&] { std::filesystem::create_directories(exportFile); },
     "Can't open 'export.txt' for reading: it is a folder\nCan't delete 'export.txt'; the automatic import leaves "
     "this answer alone until Pigmora writes a new one",
     {"Hash", "export.txt"}},
    {"export.txt empty", [&] { ScratchFolder::WriteFile(exportFile, ""); }, "'export.txt' names no FBX file", {"Hash"}},
    {"the FBX file missing",
     [&] { ScratchFolder::WriteFile(exportFile, scratch_.Path("gone.fbx") + "\n"); },
     "Import: FBX file is not exists",
     {"Hash"}},
    {"the FBX file a folder",
     [&] {
       std::filesystem::create_directories(scratch_.Path("folder.fbx"));
       ScratchFolder::WriteFile(exportFile, scratch_.Path("folder.fbx") + "\n");
     },
     "'" + scratch_.Path("folder.fbx") + "' is a directory, not an FBX file",
     {"Hash"}},
  };
  for (const Case& c : cases) {
    AfxGetHeadlessDisplay().ClearMessageBoxes();
    std::filesystem::remove_all(exportFile);
    c.make();
    WriteTextures({{"A", "map1", "color", scratch_.Path("a.tga")}});
    EXPECT_EQ(state_.Plugin().Receive(), 1) << c.what;
    ASSERT_EQ(Boxes().size(), 1u) << c.what << ": " << Boxes().back().text;
    EXPECT_NE(Boxes()[0].text.find(c.box), std::string::npos) << c.what << ": " << Boxes()[0].text;
    EXPECT_EQ(Boxes()[0].caption, "Pigmora") << c.what;
    EXPECT_EQ(Boxes()[0].Icon(), static_cast<UINT>(MB_ICONERROR)) << c.what;
    EXPECT_EQ(ExchangeNames(), c.left) << c.what;
    EXPECT_EQ(CountModels(), 0) << c.what;
  }
}

// A plug-in whose FBX context did not start still takes the answer, says why
// it cannot import it and changes nothing.
TEST_F(ReceiveModelTest, AnAnswerWhileTheFbxContextFailedToStartIsReportedAndDeleted) {
  SetEnvironment("FBXSDK_TEST_REFUSE_MANAGER", "1");
  PluginState failed;
  ClearEnvironment("FBXSDK_TEST_REFUSE_MANAGER");
  ASSERT_FALSE(failed.FbxErrorText.IsEmpty());
  WriteAnswer();
  EXPECT_EQ(failed.Receive(), 1);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, "FBX: The FBX context is not available");
  EXPECT_EQ(Boxes()[0].caption, "Pigmora");
  EXPECT_EQ(CountModels(), 0);
  EXPECT_FALSE(PairPresent());
}

}  // namespace
