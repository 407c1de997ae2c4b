// The stand-in peer, run as a program against a scratch documents folder:
// what it answers and in which formats.
#include <sys/stat.h>

#include <ImfChannelList.h>
#include <ImfFrameBuffer.h>
#include <ImfHeader.h>
#include <ImfInputFile.h>
#include <tiffio.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

#include "PeerFixture.h"

namespace {

class PeerTest : public PeerFixture {
protected:
  std::string Head(const std::string& path, std::size_t count) const {
    return ScratchFolder::ReadFile(path).substr(0, count);
  }
};

TEST_F(PeerTest, AnswersWithABinaryFbxAndOneImagePerMaterialAndChannelInNodeOrder) {
  const std::string model = WriteModel(LeftRightPlan());
  WriteCommand(model,
               "[ExportColor=1]\n[ExportSpecular=1]\n[ExportEmissivePower=0]\n[ExportNormalmap=1]\n"
               "[ColorFileExtension=PNG]\n[SpecNormExtension=BMP]\n[ExportDispl=1]\n[DisplTexExt=TIF]\n"
               "[DisplDepth=16-bits]\n");
  const CommandRun run = Peer("--once");
  ASSERT_EQ(run.exitCode, 0) << run.err;

  const auto exportLines = Lines(ScratchFolder::ReadFile(scratch_.ExchangePath() / "export.txt"));
  ASSERT_FALSE(exportLines.empty());
  const std::string fbx = exportLines[0];
  EXPECT_EQ(Head(fbx, 18), "Kaydara FBX Binary");

  const auto lines = Lines(ScratchFolder::ReadFile(scratch_.ExchangePath() / "textures.txt"));
  ASSERT_EQ(lines.size(), 2u * 4u * 4u);
  const char* expectedMaterials[] = {"Zeta", "Alpha"};
  const char* expectedChannels[] = {"color", "specular", "normalmap", "displacement"};
  const char* expectedMagic[] = {"\x89PNG", "BM", "BM", "II*"};
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
  AnswerMesh answer;
  ASSERT_TRUE(ReadAnswerMesh(fbx, answer));
  ExpectEachMaterialPaintedOnItsOwnPolygons(answer, TextureGroups());
  LoadedImage zeta, alpha;
  ASSERT_TRUE(LoadImage(lines[3], zeta) && LoadImage(lines[19], alpha));
  EXPECT_NE(zeta.At(0.25, 0.25), alpha.At(0.75, 0.25)) << "materials get different colours";
}

TEST_F(PeerTest, AsciiOnRequestAndTheOtherImageTypes) {
  WriteCommand(WriteModel(LeftRightPlan()),
               "[ExportColor=1]\n[ExportSpecular=1]\n[ColorFileExtension=JPG]\n[SpecNormExtension=TGA]\n");
  const CommandRun run = Peer("--once --ascii --size 64");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto exportLines = Lines(ScratchFolder::ReadFile(scratch_.ExchangePath() / "export.txt"));
  ASSERT_FALSE(exportLines.empty());
  EXPECT_EQ(Head(exportLines[0], 6), "; FBX ");
  const auto lines = Lines(ScratchFolder::ReadFile(scratch_.ExchangePath() / "textures.txt"));
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(Head(lines[3], 2), "\xFF\xD8");
  EXPECT_EQ(std::filesystem::path(lines[7]).extension(), ".tga");
  LoadedImage tga;
  ASSERT_TRUE(LoadImage(lines[7], tga));
  EXPECT_EQ(tga.width, 64);
}

TEST_F(PeerTest, ACommandFileWithWindowsLineEndsIsAnsweredWithFilesOthersMayRead) {
  const std::string model = WriteModel(LeftRightPlan());
  ScratchFolder::WriteFile(scratch_.ExchangePath() / "import.txt",
                           model + "\r\n" + model + "\r\n[ppp]\r\n[ExportColor=1]\r\n[ColorFileExtension=PNG]\r\n");
  const mode_t mask = umask(022);
  const CommandRun run = Peer("--once --size 32");
  umask(mask);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<TextureGroup> groups = TextureGroups();
  ASSERT_EQ(groups.size(), 2u);
  std::vector<std::string> files = {AnswerFbx(), (scratch_.ExchangePath() / "textures.txt").string(),
                                    (scratch_.ExchangePath() / "export.txt").string()};
  for (const TextureGroup& group : groups) {
    EXPECT_EQ(group.channel, "color");
    EXPECT_EQ(Head(group.path, 4), "\x89PNG") << group.path;
    files.push_back(group.path);
  }
  // The host may run as another user: the answer is as readable as any file the peer's umask allows.
  for (const std::string& file : files) {
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0) << file;
    EXPECT_EQ(info.st_mode & 0777, 0644u) << file;
  }
}

TEST_F(PeerTest, AMissingOrBrokenInputGetsAMessageAndNoAnswer) {
  CommandRun run = Peer("--once");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("import.txt"), std::string::npos) << run.err;
  EXPECT_FALSE(PairPresent());

  const std::string broken = scratch_.Path("broken.fbx");
  ScratchFolder::WriteFile(broken, std::string("Kaydara FBX Binary  \0\x1a\0\xe8\x1c\0\0garbage", 30));
  WriteCommand(broken, "[ExportColor=1]\n");
  run = Peer("--once");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("broken.fbx"), std::string::npos) << run.err;
  EXPECT_FALSE(PairPresent());

  WriteCommand(scratch_.Path("absent.fbx"), "[ExportColor=1]\n");
  run = Peer("--once");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_FALSE(PairPresent());
}

TEST_F(PeerTest, ACommandFileThatIsNoRegularFileIsRefusedAtOnce) {
  const std::filesystem::path command = scratch_.ExchangePath() / "import.txt";
  std::filesystem::create_directories(scratch_.ExchangePath());
  ASSERT_EQ(mkfifo(command.c_str(), 0600), 0);
  CommandRun run = Peer("--once", "timeout -s KILL 20");
  EXPECT_EQ(run.exitCode, 1) << "a FIFO without a writer would stall the peer";
  EXPECT_NE(run.err.find("not a regular file"), std::string::npos) << run.err;

  std::filesystem::remove(command);
  std::filesystem::create_symlink("/dev/zero", command);
  run = Peer("--once", "timeout -s KILL 20");
  EXPECT_EQ(run.exitCode, 1) << "a device would flood it";
  EXPECT_FALSE(PairPresent());
}

TEST_F(PeerTest, WatchingWaitsForTheModelFileOfTheNewCommand) {
  const std::string model = WriteModel(LeftRightPlan());
  // The previous model file is older than the new command: not ready yet.
  std::filesystem::last_write_time(model, std::filesystem::file_time_type::clock::now() - std::chrono::seconds(30));
  WriteCommand(model, "[ExportColor=1]\n");
  std::thread watcher([&] { Peer("--watch --stop-after 6 --size 32"); });
  std::this_thread::sleep_for(std::chrono::milliseconds(1200));
  EXPECT_FALSE(PairPresent());
  WriteModel(LeftRightPlan());  // the host writes the model file after the command file
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

// Displacement at the depth the command file names: a TIF of 16-bit
// integers, a TIFF and an EXR of 32-bit floats, each holding the painted
// levels stretched to its range.
TEST_F(PeerTest, DisplacementIsWrittenAsTheDeepFormatAsked) {
  struct Case {
    const char* type;
    const char* depth;
    int bits;
    int format;
  } cases[] = {{"TIF", "16-bits", 16, SAMPLEFORMAT_UINT},
               {"TIFF", "32-bits", 32, SAMPLEFORMAT_IEEEFP},
               {"EXR", "32-bits", 32, SAMPLEFORMAT_IEEEFP}};
  for (const Case& each : cases) {
    SCOPED_TRACE(each.type);
    WriteCommand(WriteModel(LeftRightPlan()),
                 std::string("[ExportDispl=1]\n[DisplTexExt=") + each.type + "]\n[DisplDepth=" + each.depth + "]\n");
    const CommandRun run = Peer("--once --size 32");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err.find("written as PNG"), std::string::npos) << run.err;
    const auto lines = Lines(ScratchFolder::ReadFile(scratch_.ExchangePath() / "textures.txt"));
    ASSERT_EQ(lines.size(), 8u);
    const std::string& path = lines[3];
    std::string lower = each.type;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(std::filesystem::path(path).extension(), "." + lower);
    if (std::string(each.type) == "EXR") {
      Imf::InputFile file(path.c_str());
      const Imf::Channel* red = file.header().channels().findChannel("R");
      ASSERT_NE(red, nullptr);
      EXPECT_EQ(red->type, Imf::FLOAT);
      std::vector<float> reds(32 * 32);
      Imf::FrameBuffer buffer;
      buffer.insert("R",
                    Imf::Slice(Imf::FLOAT, reinterpret_cast<char*>(reds.data()), sizeof(float), 32 * sizeof(float)));
      file.setFrameBuffer(buffer);
      file.readPixels(0, 31);
      // Levels run from 0 to 1, as a float displacement's do, not 0 to 255.
      EXPECT_GT(*std::max_element(reds.begin(), reds.end()), 0.1f);
      EXPECT_LE(*std::max_element(reds.begin(), reds.end()), 1.0f);
      continue;
    }
    std::unique_ptr<TIFF, void (*)(TIFF*)> tiff(TIFFOpen(path.c_str(), "r"), &TIFFClose);
    ASSERT_TRUE(tiff);
    std::uint16_t bits = 0, format = 0;
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_SAMPLEFORMAT, &format);
    EXPECT_EQ(bits, each.bits);
    EXPECT_EQ(format, each.format);
    std::vector<unsigned char> row(static_cast<std::size_t>(TIFFScanlineSize(tiff.get())));
    ASSERT_GE(TIFFReadScanline(tiff.get(), row.data(), 0, 0), 0);
    // Levels fill the depth's range: up to 65535, or 0 to 1 for floats.
    double most = 0;
    for (std::size_t i = 0; i < 32 * 3; ++i) {
      std::uint16_t whole = 0;
      float real = 0;
      if (bits == 16) std::memcpy(&whole, row.data() + i * 2, 2);
      if (bits == 32) std::memcpy(&real, row.data() + i * 4, 4);
      most = std::max(most, bits == 16 ? whole / 65535.0 : real);
      EXPECT_LE(bits == 16 ? whole / 65535.0 : real, 1.0);
    }
    EXPECT_GT(most, 0.1) << "levels stretched to the depth, not kept at 0 to 255";
  }
}
