// The paint of a received model is the paint the host accepted: Pigmora
// writing its next images under the same names, a refused or damaged answer
// or a peer killed half way through its answer leave it as it was.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <filesystem>
#include <map>

#include "ReceiveFixture.h"
#include "receive/ReceiveModel.h"

using namespace pigmora;

namespace {

class KeptPaintTest : public ReceiveFixture {
protected:
  std::filesystem::path Exchange(const char* name) const { return scratch_.ExchangePath() / name; }

  // Pigmora's image, a square TGA of one colour, where Pigmora keeps its images.
  std::string PaintImage(unsigned char red, unsigned char green, unsigned char blue, int side = 4) const {
    std::string tga(18, '\0');
    tga[2] = 2;  // uncompressed true colour
    tga[12] = static_cast<char>(side & 0xff);
    tga[13] = static_cast<char>(side >> 8);
    tga[14] = static_cast<char>(side & 0xff);
    tga[15] = static_cast<char>(side >> 8);
    tga[16] = 24;
    for (int i = 0; i < side * side; ++i)
      tga += {static_cast<char>(blue), static_cast<char>(green), static_cast<char>(red)};
    std::filesystem::create_directories(scratch_.Path("Pigmora/textures"));
    const std::string path = scratch_.Path("Pigmora/textures/Cube_A_color.tga");
    ScratchFolder::WriteFile(path, tga);
    return path;
  }

  // An answer as Pigmora writes it: model file, images, texture list, answer file last.
  void WriteAnswer(const MeshPlan& plan, unsigned char red, bool withAnswerFile = true) {
    ASSERT_TRUE(WriteMeshFile(plan, scratch_.Path("answer.fbx")));
    WriteTextures({{"A", "map1", "color", PaintImage(red, 40, 40)}});
    if (withAnswerFile) ScratchFolder::WriteFile(Exchange("export.txt"), scratch_.Path("answer.fbx") + "\n");
  }

  // Each image file the model's decals show, with its bytes.
  std::map<std::string, std::string> Paint(const char* modelName = "Cube") const {
    std::map<std::string, std::string> paint;
    for (HDecal* decal : Decals(Model(modelName))) {
      HDecalClipContainer* clips = decal->GetChildDecalClipContainer();
      for (HHashObject* c = clips ? clips->GetChildDecalClip() : nullptr; c; c = c->GetSibling()) {
        const HImage* image = static_cast<HDecalClip*>(c)->GetClip()->GetClip();
        const std::string path = const_cast<HImage*>(image)->GetFilename()->GetValue().Get();
        paint[path] = std::filesystem::exists(path) ? ScratchFolder::ReadFile(path) : "(missing)";
      }
    }
    return paint;
  }
};

TEST_F(KeptPaintTest, RefusedDamagedAndHalfWrittenAnswersLeaveTheKeptPaintByteForByte) {
  WriteAnswer(GridPlan(2, {"A"}), 200);
  ASSERT_EQ(state_.Plugin().Receive(), 1);
  ASSERT_TRUE(Boxes().empty()) << Boxes().front().text;
  const std::map<std::string, std::string> accepted = Paint();
  ASSERT_EQ(accepted.size(), 1u);
  EXPECT_EQ(accepted.begin()->second, ScratchFolder::ReadFile(scratch_.Path("Pigmora/textures/Cube_A_color.tga")));

  // Refused: a position that is not a number. Pigmora painted over its image first.
  MeshPlan notFinite = GridPlan(2, {"A"});
  notFinite.points[4][1] = std::nan("");
  WriteAnswer(notFinite, 10);
  EXPECT_EQ(state_.Plugin().Receive(), 1);
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Paint(), accepted) << "after a refused answer";

  // Damaged: the model file is no FBX file.
  WriteAnswer(GridPlan(2, {"A"}), 20);
  ScratchFolder::WriteFile(scratch_.Path("answer.fbx"), "Kaydara FBX Binary  \0 and then nothing");
  EXPECT_EQ(state_.Plugin().Receive(), 1);
  EXPECT_EQ(Paint(), accepted) << "after a damaged answer";

  // Half written: the peer was killed after its images and texture list.
  WriteAnswer(GridPlan(2, {"A"}), 30, /*withAnswerFile=*/false);
  EXPECT_EQ(state_.Plugin().Receive(), 0);
  EXPECT_EQ(Paint(), accepted) << "while an answer is half written";

  // Once Pigmora finishes, its new paint comes in, and the older copies go with the older model.
  WriteAnswer(GridPlan(2, {"A"}), 30);
  EXPECT_EQ(state_.Plugin().Receive(), 1);
  const std::map<std::string, std::string> newer = Paint();
  ASSERT_EQ(newer.size(), 1u);
  EXPECT_NE(newer.begin()->first, accepted.begin()->first) << "a name of its own";
  EXPECT_EQ(newer.begin()->second, ScratchFolder::ReadFile(scratch_.Path("Pigmora/textures/Cube_A_color.tga")));
  EXPECT_FALSE(std::filesystem::exists(accepted.begin()->first));
  EXPECT_EQ(CountImages(), 1);
}

TEST_F(KeptPaintTest, WithNoRoomForTheCopiesTheModelStaysAndTheAnswerWaitsForAnotherImport) {
  WriteAnswer(GridPlan(2, {"A"}), 200);
  ASSERT_EQ(state_.Plugin().Receive(), 1);
  const std::map<std::string, std::string> accepted = Paint();
  WriteAnswer(GridPlan(3, {"A"}), 90);
  // A big image, and a file size limit standing in for a full disk, in a host of its own.
  PaintImage(90, 40, 40, 256);
  const pid_t host = fork();
  if (host == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64 * 1024, 64 * 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    const int result = state_.Plugin().Receive();
    const bool kept = Paint() == accepted && Model("Cube")->GetPatchCount() == 4;
    const bool said = Boxes().size() == 1 && Boxes()[0].text.find("Cube_A_color.tga") != std::string::npos &&
                      Boxes()[0].text.find("import it again") != std::string::npos;
    const bool timerWaits = state_.Plugin().Receive(ReceiveTrigger::Timer) == 0 && Boxes().size() == 1;
    _exit(result == 1 && kept && said && timerWaits ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(host, &status, 0), host);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the host without room kept its model, said why once and left the answer";
  EXPECT_TRUE(std::filesystem::exists(Exchange("export.txt")));
  EXPECT_TRUE(std::filesystem::exists(Exchange("textures.txt")));
  for (const auto& entry : std::filesystem::directory_iterator(scratch_.ExchangePath() / "Hash" / "received"))
    EXPECT_EQ(entry.path(), std::filesystem::path(accepted.begin()->first).parent_path()) << "nothing half copied";

  // With room again, the answer comes in.
  EXPECT_EQ(state_.Plugin().Receive(), 1);
  EXPECT_EQ(Model("Cube")->GetPatchCount(), 9);
}

}  // namespace
