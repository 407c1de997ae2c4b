// The stand-in peer, run as a program against a scratch_ documents folder.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include "../receive/MeshFile.h"
#include "CommandRun.h"
#include "ScratchFolder.h"

namespace {

using PeerRun = CommandRun;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

class PeerTest : public ::testing::Test {
protected:
  PeerRun Peer(const std::string& arguments) {
    const std::string errPath = scratch_.Path("peer.stderr");
    const std::string command = std::string("'") + PIGMORA_PEER_PATH + "' " + arguments;
    return RunCapturing(command, errPath);
  }

  // Two materials in the node's order Zeta, Alpha: Zeta on the left half of a
  // 2x2 grid (UVs u < 0.5), Alpha on the right.
  std::string WriteModel(const char* name = "export.fbx") {
    MeshPlan plan = GridPlan(2, {"Zeta", "Alpha"});
    plan.nodeName = "Sample";
    plan.polygonMaterials = {0, 1, 0, 1};
    const std::string path = (scratch_.ExchangePath() / "Hash" / "data" / name).string();
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    EXPECT_TRUE(WriteMeshFile(plan, path, /*ascii=*/true));
    return path;
  }

  void WriteCommand(const std::string& modelPath, const std::string& options) {
    ScratchFolder::WriteFile(scratch_.ExchangePath() / "import.txt",
                             modelPath + "\n" + modelPath + "\n[ppp]\n" + options);
  }

  bool AnswerPresent() const {
    return std::filesystem::exists(scratch_.ExchangePath() / "export.txt") ||
           std::filesystem::exists(scratch_.ExchangePath() / "textures.txt");
  }

  std::string Head(const std::string& path, std::size_t count) const {
    return ScratchFolder::ReadFile(path).substr(0, count);
  }

  ScratchFolder scratch_;
};

TEST_F(PeerTest, AnswersWithABinaryFbxAndOneImagePerMaterialAndChannelInNodeOrder) {
  const std::string model = WriteModel();
  WriteCommand(model,
               "[ExportColor=1]\n[ExportSpecular=1]\n[ExportEmissivePower=0]\n[ExportNormalmap=1]\n"
               "[ColorFileExtension=PNG]\n[SpecNormExtension=BMP]\n[ExportDispl=1]\n[DisplTexExt=TIF]\n");
  const PeerRun run = Peer("--once");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find("TIF"), std::string::npos) << "says that TIF is written as PNG";

  const auto exportLines = Lines(ScratchFolder::ReadFile(scratch_.ExchangePath() / "export.txt"));
  ASSERT_FALSE(exportLines.empty());
  const std::string fbx = exportLines[0];
  EXPECT_EQ(Head(fbx, 18), "Kaydara FBX Binary");

  const auto lines = Lines(ScratchFolder::ReadFile(scratch_.ExchangePath() / "textures.txt"));
  ASSERT_EQ(lines.size(), 2u * 4u * 4u);
  const char* expectedMaterials[] = {"Zeta", "Alpha"};
  const char* expectedChannels[] = {"color", "specular", "normalmap", "displacement"};
  const char* expectedMagic[] = {"\x89PNG", "BM", "BM", "\x89PNG"};
  for (int m = 0; m < 2; ++m) {
    for (int c = 0; c < 4; ++c) {
      const std::size_t at = static_cast<std::size_t>((m * 4 + c) * 4);
      EXPECT_EQ(lines[at], expectedMaterials[m]);
      EXPECT_EQ(lines[at + 1], "map1");
      EXPECT_EQ(lines[at + 2].rfind(expectedChannels[c], 0), 0u) << lines[at + 2];
      const std::string magic = expectedMagic[c];
      EXPECT_EQ(Head(lines[at + 3], magic.size()), magic) << lines[at + 3];
    }
  }
  EXPECT_EQ(lines[14], "displacement 0.5") << "the displacement line carries a depth";

  // The colour images show each material's pattern where its polygons lie.
  int w = 0, h = 0, n = 0;
  unsigned char* zeta = stbi_load(lines[3].c_str(), &w, &h, &n, 3);
  unsigned char* alpha = stbi_load(lines[19].c_str(), &w, &h, &n, 3);
  ASSERT_TRUE(zeta && alpha);
  auto pixel = [&](unsigned char* image, double u, double v) {
    const int x = static_cast<int>(u * w), y = static_cast<int>((1 - v) * h);
    const unsigned char* p = image + (static_cast<std::size_t>(y) * w + x) * 3;
    return std::vector<int>{p[0], p[1], p[2]};
  };
  const std::vector<int> ground = pixel(zeta, 0.75, 0.25);
  EXPECT_EQ(ground, pixel(alpha, 0.25, 0.25)) << "each image is plain where the other material lies";
  EXPECT_NE(pixel(zeta, 0.25, 0.25), ground);
  EXPECT_NE(pixel(alpha, 0.75, 0.25), ground);
  EXPECT_NE(pixel(zeta, 0.25, 0.25), pixel(alpha, 0.75, 0.25)) << "materials get different colours";
  stbi_image_free(zeta);
  stbi_image_free(alpha);
}

TEST_F(PeerTest, AsciiOnRequestAndTheOtherImageTypes) {
  WriteCommand(WriteModel(),
               "[ExportColor=1]\n[ExportSpecular=1]\n[ColorFileExtension=JPG]\n[SpecNormExtension=TGA]\n");
  const PeerRun run = Peer("--once --ascii --size 64");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto exportLines = Lines(ScratchFolder::ReadFile(scratch_.ExchangePath() / "export.txt"));
  ASSERT_FALSE(exportLines.empty());
  EXPECT_EQ(Head(exportLines[0], 6), "; FBX ");
  const auto lines = Lines(ScratchFolder::ReadFile(scratch_.ExchangePath() / "textures.txt"));
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(Head(lines[3], 2), "\xFF\xD8");
  EXPECT_EQ(std::filesystem::path(lines[7]).extension(), ".tga");
  int w = 0, h = 0, n = 0;
  unsigned char* tga = stbi_load(lines[7].c_str(), &w, &h, &n, 3);
  ASSERT_NE(tga, nullptr);
  EXPECT_EQ(w, 64);
  stbi_image_free(tga);
}

TEST_F(PeerTest, AMissingOrBrokenInputGetsAMessageAndNoAnswer) {
  PeerRun run = Peer("--once");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("import.txt"), std::string::npos) << run.err;
  EXPECT_FALSE(AnswerPresent());

  const std::string broken = scratch_.Path("broken.fbx");
  ScratchFolder::WriteFile(broken, std::string("Kaydara FBX Binary  \0\x1a\0\xe8\x1c\0\0garbage", 30));
  WriteCommand(broken, "[ExportColor=1]\n");
  run = Peer("--once");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("broken.fbx"), std::string::npos) << run.err;
  EXPECT_FALSE(AnswerPresent());

  WriteCommand(scratch_.Path("absent.fbx"), "[ExportColor=1]\n");
  run = Peer("--once");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_FALSE(AnswerPresent());
}

TEST_F(PeerTest, WatchingWaitsForTheModelFileOfTheNewCommand) {
  const std::string model = WriteModel();
  // The previous model file is older than the new command: not ready yet.
  std::filesystem::last_write_time(model, std::filesystem::file_time_type::clock::now() - std::chrono::seconds(30));
  WriteCommand(model, "[ExportColor=1]\n");
  std::thread watcher([&] { Peer("--watch --stop-after 6 --size 32"); });
  std::this_thread::sleep_for(std::chrono::milliseconds(1200));
  EXPECT_FALSE(AnswerPresent());
  WriteModel();  // the host writes the model file after the command file
  bool answered = false;
  for (int i = 0; i < 45 && !answered; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    answered = std::filesystem::exists(scratch_.ExchangePath() / "export.txt");
  }
  EXPECT_TRUE(answered);
  EXPECT_TRUE(std::filesystem::exists(scratch_.ExchangePath() / "textures.txt"));
  watcher.join();
}

}  // namespace
