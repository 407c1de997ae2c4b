// fbxinfo and fbxconvert against the shared corpus of files written by other tools.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TestScene.h"

namespace {

// The corpus folder, or one of its subfolders ("wild": files met in use, one or two of each kind
// that once failed); "" when absent.
std::string CorpusFolder(const std::string& subfolder) {
  const char* configured = std::getenv("FBX_CORPUS_DIR");
  std::string folder = (configured && *configured ? configured : FBX_DEFAULT_CORPUS_DIR) + subfolder;
  return std::filesystem::exists(folder + "/expected.tsv") ? folder : std::string();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Columns(const std::string& line) {
  std::vector<std::string> columns;
  size_t start = 0;
  for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
    columns.push_back(line.substr(start, tab - start));
  columns.push_back(line.substr(start));
  return columns;
}

std::string Tool(const char* name) { return std::string(FBX_TOOLS_DIR) + "/" + name; }

class CorpusTest : public ::testing::TestWithParam<const char*> {
protected:
  void SetUp() override {
    folder = CorpusFolder(GetParam());
    if (folder.empty())
      GTEST_SKIP() << "FBX corpus not found at " << FBX_DEFAULT_CORPUS_DIR << GetParam()
                   << " (set FBX_CORPUS_DIR to run these)";
    expected = Lines(ScratchFolder::ReadFile(folder + "/expected.tsv"));
    ASSERT_GT(expected.size(), 1u);
  }
  std::string folder;
  std::vector<std::string> expected;
};

TEST_P(CorpusTest, FbxinfoMatchesEveryExpectedRow) {
  std::string command = Tool("fbxinfo");
  for (size_t i = 1; i < expected.size(); ++i) command += " '" + folder + "/" + Columns(expected[i])[0] + "'";
  std::string output;
  EXPECT_EQ(fbxtest::RunCommand(command, &output), 0) << output;
  std::vector<std::string> actual = Lines(output);
  ASSERT_EQ(actual.size(), expected.size()) << output;
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(actual[i], expected[i]);
}

TEST_P(CorpusTest, ConvertedFilesReadBackWithTheSameFacts) {
  ScratchFolder scratch;
  for (size_t i = 1; i < expected.size(); ++i) {
    std::vector<std::string> want = Columns(expected[i]);
    for (const char* encoding : {"ascii", "binary"}) {
      std::string out = scratch.Path(std::string(encoding) + "_" + want[0]);
      std::string output;
      ASSERT_EQ(fbxtest::RunCommand(
                    Tool("fbxconvert") + " '" + folder + "/" + want[0] + "' '" + out + "' --" + encoding, &output),
                0)
          << want[0] << ": " << output;
      ASSERT_EQ(fbxtest::RunCommand(Tool("fbxinfo") + " '" + out + "'", &output), 0) << output;
      std::vector<std::string> got = Columns(Lines(output).at(1));
      ASSERT_EQ(got.size(), want.size()) << output;
      EXPECT_EQ(got[1], "7400");
      EXPECT_EQ(got[2], encoding);
      for (size_t c = 3; c < want.size(); ++c)
        EXPECT_EQ(got[c], want[c]) << want[0] << " as " << encoding << ", column " << Columns(expected[0])[c];
    }
  }
}

// The JSON form carries the same facts: jq turns each object back into the columns.
TEST_P(CorpusTest, FbxinfoJsonCarriesTheSameFacts) {
  const std::string toColumns =
      "jq -r '[.file, (.version|tostring), .encoding, (.root_children|join(\"|\")), (.first_child // \"\"), "
      "(if .first_child_has_mesh then \"yes\" else \"no\" end), "
      "(.control_points, .polygons, .triangles, .quads, .ngons, .degenerate, .polygon_vertices "
      "| if . == null then \"\" else tostring end), (.uv_sets|join(\"|\")), (.node_materials|join(\"|\"))] "
      "| join(\"\\t\")'";
  std::string command = Tool("fbxinfo") + " --json";
  for (size_t i = 1; i < expected.size(); ++i) command += " '" + folder + "/" + Columns(expected[i])[0] + "'";
  std::string output;
  ASSERT_EQ(fbxtest::RunCommand(command + " | " + toColumns, &output), 0) << output;
  std::vector<std::string> actual = Lines(output);
  ASSERT_EQ(actual.size(), expected.size() - 1) << output;
  for (size_t i = 1; i < expected.size(); ++i) EXPECT_EQ(actual[i - 1], expected[i]);
}

INSTANTIATE_TEST_SUITE_P(Folders, CorpusTest, ::testing::Values("", "/wild"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return *info.param ? std::string(info.param + 1) : std::string("main");
                         });

TEST(FbxToolsTest, ReportBadArgumentsAndUnreadableFiles) {
  std::string output;
  EXPECT_EQ(fbxtest::RunCommand(Tool("fbxinfo"), &output), 2);
  EXPECT_NE(output.find("Usage: fbxinfo"), std::string::npos);
  EXPECT_EQ(fbxtest::RunCommand(Tool("fbxconvert") + " a b --text", &output), 2);
  ScratchFolder scratch;
  ScratchFolder::WriteFile(scratch.Path("notes.fbx"), "just some notes\n");
  EXPECT_EQ(fbxtest::RunCommand(Tool("fbxinfo") + " '" + scratch.Path("notes.fbx") + "'", &output), 1);
  std::vector<std::string> lines = Lines(output);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].rfind("notes.fbx\terror: ", 0), 0u) << lines[1];
  EXPECT_EQ(
      fbxtest::RunCommand(
          Tool("fbxconvert") + " '" + scratch.Path("notes.fbx") + "' '" + scratch.Path("o.fbx") + "' --ascii", &output),
      1);
  EXPECT_NE(output.find("not an FBX file"), std::string::npos) << output;
  EXPECT_FALSE(std::filesystem::exists(scratch.Path("o.fbx")));
}

// Names may hold tabs, line ends and quotes: the tab-separated form blanks them, JSON keeps them.
TEST(FbxToolsTest, JsonKeepsNamesThatWouldBreakColumns) {
  ScratchFolder scratch;
  const std::string path = scratch.Path("names.fbx");
  {
    FbxManager* manager = FbxManager::Create();
    FbxScene* scene = FbxScene::Create(manager, "Names");
    fbxtest::PluginLikeScene built = fbxtest::BuildPluginLikeScene(*manager, *scene);
    built.node->SetName("Head\tof \"the\"\nstatue\\");
    std::string error;
    ASSERT_TRUE(fbxtest::Save(*manager, *scene, path, 0, &error)) << error;
    manager->Destroy();
  }
  std::string output;
  ASSERT_EQ(
      fbxtest::RunCommand(Tool("fbxinfo") + " --json '" + path + "' | jq -j '.first_child, \"|\", .quads'", &output), 0)
      << output;
  EXPECT_EQ(output, "Head\tof \"the\"\nstatue\\|6");
  ASSERT_EQ(fbxtest::RunCommand(Tool("fbxinfo") + " '" + path + "'", &output), 0) << output;
  EXPECT_EQ(Columns(Lines(output).at(1)).at(4), "Head of \"the\" statue\\");

  // An unreadable file is an object with its error, and the status says so.
  ScratchFolder::WriteFile(scratch.Path("notes.fbx"), "just some notes\n");
  EXPECT_EQ(fbxtest::RunCommand(Tool("fbxinfo") + " --json '" + scratch.Path("notes.fbx") +
                                    "' | jq -e '.file == \"notes.fbx\" and (.error | length > 0)'",
                                &output),
            0)
      << output;
}

}  // namespace
