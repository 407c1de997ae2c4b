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

// A plug-in's result says how its command ended by its own rules; a box with
// the error icon is what tells a person something failed, so it fails the run
// too, naming the command during which it came up. The script goes on.
TEST_F(HashhostScriptTest, AnErrorBoxNamesItsCommandAndFailsTheRunAfterTheRest) {
  // A damaged answer: the receive shows its box and still returns 1.
  const std::string fbx = scratch_.Write("answer.fbx", "; FBX 7.4.0 project file\nObjects: {\n  Model: broken\n");
  ScratchFolder::WriteFile(scratch_.ExchangePath() / "export.txt", fbx + "\n");
  ScratchFolder::WriteFile(scratch_.ExchangePath() / "textures.txt", "");
  const HashhostRun receive = RunHashhost(scratch_, "-c 'run Pigmora 2 Objects; tree'");
  EXPECT_EQ(receive.exitCode, 1) << receive.err;
  EXPECT_NE(receive.out.find("run Pigmora 2 Objects: result=1\n"), std::string::npos) << receive.out;
  EXPECT_NE(receive.out.find("Project \"Untitled\""), std::string::npos) << "the script went on: " << receive.out;
  // The box is a line of its own; the FBX library's version lines may come before it.
  EXPECT_NE(("\n" + receive.err).find("\n[Pigmora] <FBX_ERROR>"), std::string::npos) << receive.err;
  EXPECT_NE(receive.err.find("\nhashhost: command 1 (run): a plug-in showed an error box\n"), std::string::npos)
      << receive.err;
  EXPECT_NE(receive.err.find("\nhashhost: the script fails: plug-ins showed 1 error box\n"), std::string::npos)
      << receive.err;

  // In a dialog, the box belongs to the click that caused it, not to the run that opened the dialog.
  const HashhostRun unset = RunHashhost(scratch_, "-c 'run Pigmora 0 Objects/Sample; click 1001; click 1002; close'");
  EXPECT_EQ(unset.exitCode, 1) << unset.err;
  EXPECT_NE(unset.out.find("run Pigmora 0 Objects/Sample: result=1\n"), std::string::npos) << unset.out;
  EXPECT_EQ(unset.err,
            "[Error] Path to Pigmora was not set (see Options tab)\n"
            "hashhost: command 2 (click): a plug-in showed an error box\n"
            "[Error] Path to Pigmora was not set (see Options tab)\n"
            "hashhost: command 3 (click): a plug-in showed an error box\n"
            "hashhost: the script fails: plug-ins showed 2 error boxes\n");

  // A note without the error icon fails nothing.
  const HashhostRun note = RunHashhost(scratch_, "-c 'run Pigmora 1 Objects/Sample; tab 1; check 1111 1'");
  EXPECT_EQ(note.exitCode, 0) << note.err;
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
