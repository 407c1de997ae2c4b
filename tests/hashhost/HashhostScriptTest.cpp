#include <gtest/gtest.h>

#include <FileIO/Registry.h>

#include <filesystem>

#include "HashhostRunner.h"

namespace {

class HashhostScriptTest : public ::testing::Test {
protected:
  ScratchFolder scratch_;
};

TEST_F(HashhostScriptTest, PluginsListsPigmorasThreeCommandsAndLeavesTheExchangeReady) {
  const HashhostRun run = RunHashhost(scratch_, "-c plugins");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("Pigmora\n"
                         "  0 entry=1 caption=\"Pigmora\" menu=1,0\n"
                         "  1 entry=259 caption=\"Pigmora\" menu=1,0\n"
                         "  2 entry=14 caption=\"Pigmora\" menu=2,0\n"),
            std::string::npos)
      << run.out;

  const auto hostFolder = scratch_.ExchangePath() / "Hash";
  EXPECT_TRUE(std::filesystem::is_directory(hostFolder / "data"));
  EXPECT_EQ(ScratchFolder::ReadFile(hostFolder / "run.txt"), std::filesystem::canonical(HASHHOST_PATH).string());
  EXPECT_EQ(ScratchFolder::ReadFile(hostFolder / "extension.txt"), "fbx");
  EXPECT_STREQ(GetRegistryString("Pigmora", "exePath", "<absent>").Get(), "...");
  EXPECT_EQ(GetRegistryBOOL("Pigmora", "ExportColor", 0), 1);
  EXPECT_EQ(GetRegistryBOOL("Pigmora", "AutoImport", 1), 0);
}

TEST_F(HashhostScriptTest, RunsCommandsOnObjectsAndPrintsTheirResults) {
  const HashhostRun run = RunHashhost(scratch_, "-c 'run Pigmora 2 Objects; wait 0.01; run Pigmora 2'");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("run Pigmora 2 Objects: result=0\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("run Pigmora 2: result=0\n"), std::string::npos) << run.out;
}

TEST_F(HashhostScriptTest, EachKindOfFailureNamesTheCommandAndStopsTheRun) {
  struct Case {
    const char* script;
    const char* expectedLine;
  };
  const Case cases[] = {
      {"plugins; run Nobody 0", "hashhost: command 2 (run): unknown plug-in 'Nobody'\n"},
      {"run Pigmora 9 Objects", "hashhost: command 1 (run): plug-in 'Pigmora' has no command '9'\n"},
      {"run Pigmora 0 Objects/Missing", "hashhost: command 1 (run): no object 'Objects/Missing' in the project\n"},
      {"tree; frobnicate", "hashhost: command 2 (frobnicate): unknown command 'frobnicate'\n"},
      {"wait soon", "hashhost: command 1 (wait): 'soon' is not a number of seconds\n"},
      {"wait 2s", "hashhost: command 1 (wait): '2s' is not a number of seconds\n"},
  };
  for (const Case& c : cases) {
    const HashhostRun run = RunHashhost(scratch_, std::string("-c '") + c.script + "; run Pigmora 2 Objects'");
    EXPECT_NE(run.exitCode, 0) << c.script;
    EXPECT_EQ(run.err, c.expectedLine) << c.script;
    EXPECT_EQ(run.out.find("result="), std::string::npos) << "commands after a failure must not run: " << c.script;
  }
}

TEST_F(HashhostScriptTest, ScriptFilesKeepQuotedWordsAndReportTheirLine) {
  const auto script = scratch_.Root() / "session.txt";
  ScratchFolder::WriteFile(script,
                           "# a comment line\n"
                           "plugins   # trailing comment\n"
                           "\n"
                           "run Pigmora 0 \"Objects/No Such Model\"\n");
  const HashhostRun run = RunHashhost(scratch_, "--script '" + script.string() + "'");
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.out.find("Pigmora\n"), std::string::npos);
  EXPECT_EQ(run.err, "hashhost: " + script.string() + ":4 (run): no object 'Objects/No Such Model' in the project\n");
}

TEST_F(HashhostScriptTest, TreeShowsTheProjectWithTheBuiltInSample) {
  const HashhostRun run = RunHashhost(scratch_, "-c tree");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("\"Objects\""), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"Sample\""), std::string::npos) << run.out;
}

}  // namespace
