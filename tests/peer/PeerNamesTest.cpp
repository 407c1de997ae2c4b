// The stand-in peer's file and material names: answers for different models
// never share a file, and any material name comes back on one line of
// "textures.txt" that matches the answer's FBX material.
#include <cstdlib>
#include <map>
#include <set>

#include "PeerFixture.h"

namespace {

class PeerNamesTest : public PeerFixture {};

std::string Folded(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

TEST_F(PeerNamesTest, AnswersForDifferentModelsNeverShareAFile) {
  // Names that a careless file name would turn into one another, or into no
  // valid file name at all.
  const std::vector<std::string> models = {
      "Sample", "Other", "a/b", "a_b", "a\nb", "..", "", "sample", std::string(300, 'm')};
  std::map<std::string, std::string> earlier;  // every file answered so far, with its bytes
  for (std::size_t i = 0; i < models.size(); ++i) {
    SCOPED_TRACE("model " + std::to_string(i));
    MeshPlan plan = LeftRightPlan();
    plan.nodeName = models[i];
    WriteCommand(WriteModel(plan, /*ascii=*/false), "[ExportColor=1]\n[ExportSpecular=1]\n[ColorFileExtension=PNG]\n");
    // Another size each time, so an overwritten image would show.
    const CommandRun run = Peer("--once --size " + std::to_string(16 + 4 * i));
    ASSERT_EQ(run.exitCode, 0) << run.err;

    std::vector<std::string> files = {AnswerFbx()};
    for (const TextureGroup& group : TextureGroups()) files.push_back(group.path);
    ASSERT_EQ(files.size(), 5u);
    for (const std::string& file : files) {
      EXPECT_EQ(earlier.count(file), 0u) << file << " was an earlier model's";
      if (i < 2) {
        EXPECT_NE(file.find(models[i]), std::string::npos) << file << " carries the model's name";
      }
    }
    AnswerMesh answer;
    ASSERT_TRUE(ReadAnswerMesh(files[0], answer));
    EXPECT_EQ(answer.nodeName, models[i]) << "the node keeps the model's name";
    for (const auto& [file, bytes] : earlier) EXPECT_EQ(ScratchFolder::ReadFile(file), bytes) << file;
    for (const std::string& file : files) earlier[file] = ScratchFolder::ReadFile(file);
  }
}

TEST_F(PeerNamesTest, AnyMaterialNameComesBackOnOneLineThatNamesTheFbxMaterial) {
  const std::vector<std::string> names = {"Top\nCap",
                                          "Skin",
                                          "a/b",
                                          "a_b",
                                          std::string(300, 'L'),
                                          "..",
                                          "",
                                          "skin",
                                          "Trail  ",
                                          "Tab\there",
                                          "x&quot;y",
                                          "Ns::In",
                                          "\xc3\x9c"
                                          "ber",
                                          "Line\r\n",
                                          "Say \"hi\""};
  const std::set<std::size_t> unchanged = {1, 2, 3, 5, 11, 12, 14};
  MeshPlan plan = GridPlan(4, names);
  plan.nodeName = "Named";
  for (std::size_t p = 0; p < plan.polygons.size(); ++p) plan.polygonMaterials[p] = static_cast<int>(p % names.size());
  for (bool ascii : {false, true}) {
    SCOPED_TRACE(ascii ? "ASCII answer" : "binary answer");
    WriteCommand(WriteModel(plan, /*ascii=*/false),
                 "[ExportColor=1]\n[ExportDispl=1]\n[ColorFileExtension=PNG]\n[DisplTexExt=BMP]\n");
    const CommandRun run = Peer(ascii ? "--once --size 32 --ascii" : "--once --size 32");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    AnswerMesh answer;
    ASSERT_TRUE(ReadAnswerMesh(AnswerFbx(), answer));
    ASSERT_EQ(answer.materials.size(), names.size());
    const std::vector<TextureGroup> groups = TextureGroups();
    ASSERT_EQ(groups.size(), names.size() * 2) << "one group per material and channel, none shifted";

    std::set<std::string> folded, paths;
    for (std::size_t m = 0; m < names.size(); ++m) {
      const std::string& name = answer.materials[m];
      SCOPED_TRACE("material " + std::to_string(m) + " '" + name + "'");
      EXPECT_EQ(groups[2 * m].material, name) << "textures.txt names the FBX material";
      EXPECT_EQ(groups[2 * m + 1].material, name);
      EXPECT_EQ(groups[2 * m].channel, "color");
      EXPECT_EQ(groups[2 * m + 1].channel, "displacement 0.5");
      EXPECT_FALSE(name.empty());
      EXPECT_LE(name.size(), 255u);
      EXPECT_TRUE(name.back() != ' ' && name.back() != '\t') << "the receive trims trailing blanks";
      for (char c : name) EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20) << "a control character";
      EXPECT_TRUE(folded.insert(Folded(name)).second) << "letter case aside, each name is another";
      if (unchanged.count(m)) {
        EXPECT_EQ(name, names[m]) << "a name fit for a line stays";
      } else {
        EXPECT_NE(name, names[m]);
      }
      for (const TextureGroup* group : {&groups[2 * m], &groups[2 * m + 1]}) {
        EXPECT_TRUE(paths.insert(group->path).second) << group->path;
        EXPECT_LE(group->path.size(), 255u);
        LoadedImage image;
        EXPECT_TRUE(LoadImage(group->path, image)) << group->path;
      }
    }
    EXPECT_EQ(answer.materials[0].rfind("Top", 0), 0u);
    EXPECT_EQ(answer.materials[4].rfind("LLLL", 0), 0u);
    EXPECT_EQ(Folded(answer.materials[7]).rfind("skin", 0), 0u);
    ExpectEachMaterialPaintedOnItsOwnPolygons(answer, groups);
  }
}

TEST_F(PeerNamesTest, ALongNameInAnyScriptIsCutBetweenLettersKeepingWhatFits) {
  std::string accented;
  for (int i = 0; i < 300; ++i) accented += "\xc3\xa9";  // é, two bytes each
  std::string mixed = "x";
  for (int i = 0; i < 100; ++i) mixed += "\xe6\x97\xa5";  // 日, three bytes each
  MeshPlan plan = GridPlan(2, {accented, mixed});
  plan.polygonMaterials = {0, 1, 0, 1};
  WriteCommand(WriteModel(plan, /*ascii=*/false), "[ExportColor=1]\n");
  const CommandRun run = Peer("--once --size 16");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  AnswerMesh answer;
  ASSERT_TRUE(ReadAnswerMesh(AnswerFbx(), answer));
  ASSERT_EQ(answer.materials.size(), 2u);
  EXPECT_EQ(answer.materials[0], accented.substr(0, 254)) << "127 whole letters in 255 bytes";
  EXPECT_EQ(answer.materials[1], mixed.substr(0, 253)) << "84 whole letters after the x";
  const std::vector<TextureGroup> groups = TextureGroups();
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0].material, answer.materials[0]);
  EXPECT_EQ(groups[1].material, answer.materials[1]);
}

// The longest image path of the answer in the current documents folder.
std::size_t LongestImagePath(const std::vector<TextureGroup>& groups) {
  std::size_t longest = 0;
  for (const TextureGroup& group : groups) longest = std::max(longest, group.path.size());
  return longest;
}

TEST_F(PeerNamesTest, ImagePathsOf255CharactersAreAnsweredLongerOnesRefused) {
  const MeshPlan plan = LeftRightPlan();
  const char* options = "[ExportColor=1]\n[ExportEmissivePower=1]\n[ColorFileExtension=PNG]\n";
  WriteCommand(WriteModel(plan), options);
  ASSERT_EQ(Peer("--once --size 16").exitCode, 0);
  const std::size_t shortest = LongestImagePath(TextureGroups());
  const std::size_t documentsLength = scratch_.DocumentsPath().string().size();

  for (std::size_t target : {255u, 256u}) {
    SCOPED_TRACE("longest path " + std::to_string(target));
    // A documents folder that lengthens every path by the difference.
    std::string documents = scratch_.Path("d" + std::to_string(target));
    documents += "/" + std::string(documentsLength + target - shortest - documents.size() - 1, 'p');
    ASSERT_EQ(documents.size(), documentsLength + target - shortest);
    setenv("HASH_DOCUMENTS_DIR", documents.c_str(), 1);
    const std::filesystem::path exchange = std::filesystem::path(documents) / "PigmoraV3" / "Exchange";
    const std::string model = (exchange / "Hash" / "data" / "export.fbx").string();
    std::filesystem::create_directories(exchange / "Hash" / "data");
    ASSERT_TRUE(WriteMeshFile(plan, model, /*ascii=*/true));
    ScratchFolder::WriteFile(exchange / "import.txt", model + "\n" + model + "\n[ppp]\n" + options);
    const CommandRun run = Peer("--once --size 16");
    if (target == 255) {
      ASSERT_EQ(run.exitCode, 0) << run.err;
      const auto lines = Lines(ScratchFolder::ReadFile(exchange / "textures.txt"));
      std::size_t longest = 0;
      for (std::size_t at = 3; at < lines.size(); at += 4) longest = std::max(longest, lines[at].size());
      EXPECT_EQ(longest, 255u);
    } else {
      EXPECT_EQ(run.exitCode, 1);
      EXPECT_NE(run.err.find("255"), std::string::npos) << run.err;
      EXPECT_FALSE(std::filesystem::exists(exchange / "export.txt"));
      EXPECT_FALSE(std::filesystem::exists(exchange / "textures.txt"));
    }
  }
}

TEST_F(PeerNamesTest, ADocumentsFolderWithALineBreakGetsNoAnswer) {
  const std::string documents = scratch_.Path("line\nbreak");
  setenv("HASH_DOCUMENTS_DIR", documents.c_str(), 1);
  const std::filesystem::path exchange = std::filesystem::path(documents) / "PigmoraV3" / "Exchange";
  const std::string model = scratch_.Path("export.fbx");
  ASSERT_TRUE(WriteMeshFile(LeftRightPlan(), model, /*ascii=*/true));
  ScratchFolder::WriteFile(exchange / "import.txt", model + "\n" + model + "\n[ppp]\n[ExportColor=1]\n");
  const CommandRun run = Peer("--once --size 16");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("control character"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(exchange / "export.txt")) << "export.txt would name a path cut in two";
}

}  // namespace
