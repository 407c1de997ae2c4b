#include <chrono>
#include <filesystem>
#include <functional>

#include "ReceiveFixture.h"
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
  void Age(const char* name, int seconds) {
    const auto path = scratch_.ExchangePath() / name;
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) - std::chrono::seconds(seconds));
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
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[0].text, "Import: FBX file is not exists");
  EXPECT_EQ(Boxes()[0].caption, "Pigmora");
  EXPECT_EQ(Boxes()[0].Icon(), static_cast<UINT>(MB_ICONERROR));
  EXPECT_FALSE(Boxes()[1].text.empty());
  EXPECT_FALSE(PairPresent());
  EXPECT_EQ(state_.Plugin().Receive(), 0);
  EXPECT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(CountModels(), 0);
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

TEST_F(ReceiveModelTest, TheTimerTakesAPairWrittenMoreThanASecondAgoAtOnce) {
  WriteAnswer();
  Age("export.txt", 5);
  Age("textures.txt", 5);
  EXPECT_EQ(state_.Plugin().Receive(ReceiveTrigger::Timer), 1);
  EXPECT_NE(Model("Cube"), nullptr);
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
  EXPECT_EQ(display.BoxCount(), 2) << "each box of the one receive shown once";
  for (int r : nested) EXPECT_EQ(r, 0);
  EXPECT_FALSE(PairPresent());
}

}  // namespace
