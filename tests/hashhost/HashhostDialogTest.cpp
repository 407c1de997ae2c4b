#include <gtest/gtest.h>
#include <sys/stat.h>

#include <FileIO/Registry.h>

#include <filesystem>

#include "HashhostRunner.h"

namespace {

// Scripts that open the applink dialog and work it as a person would.
class HashhostDialogTest : public ::testing::Test {
protected:
  ScratchFolder scratch;
};

TEST_F(HashhostDialogTest, CommandsAfterARunActInTheDialogAndTheRestRunsAfterItCloses) {
  const std::string program = scratch.Write("bin/Pigmora", "#!/bin/sh\n");
  ::chmod(program.c_str(), 0755);
  const HashhostRun run = RunHashhost(scratch, "-c 'run Pigmora 0 Objects/Sample; tab 1; file " + program +
                                                   "; click 1017; check 1027 1; select 1204 2; key escape; close; "
                                                   "tree'");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_STREQ(GetRegistryString("Pigmora", "exePath", "").Get(), program.c_str());
  EXPECT_EQ(GetRegistryValue("Pigmora", "ExportDispl", -1), 1);
  EXPECT_EQ(GetRegistryValue("Pigmora", "DisplTexExt", -1), 2);
  // The dialog closed with "close"; its run reports, then the tree prints.
  const std::size_t result = run.out.find("run Pigmora 0 Objects/Sample: result=1\n");
  ASSERT_NE(result, std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Project \"Untitled\"", result), std::string::npos) << run.out;
}

TEST_F(HashhostDialogTest, ASendFromTheDialogClosesItAndTheScriptGoesOn) {
  const HashhostRun run = RunHashhost(scratch,
                                      "-c 'run Pigmora 0 Objects/Sample; tab 1; file /usr/bin/true; click 1017; "
                                      "check 1027 1; tab 0; click 1001; tree'");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::size_t result = run.out.find("run Pigmora 0 Objects/Sample: result=1\n");
  ASSERT_NE(result, std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Project \"Untitled\"", result), std::string::npos) << "tree ran after the dialog closed";
  const std::string command = ScratchFolder::ReadFile(scratch.ExchangePath() / "import.txt");
  EXPECT_NE(command.find("\n[ppp]\n"), std::string::npos) << command;
  EXPECT_NE(command.find("\n[ExportDispl=1]\n"), std::string::npos) << command;
  EXPECT_TRUE(std::filesystem::exists(scratch.ExchangePath() / "Hash" / "data" / "export.fbx"));
}

TEST_F(HashhostDialogTest, ADialogStillOpenWhenTheScriptEndsIsClosed) {
  const HashhostRun run = RunHashhost(scratch, "-c 'run Pigmora 1 Objects/Sample; tab 1; check 1111 1'");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("run Pigmora 1 Objects/Sample: result=1\n"), std::string::npos) << run.out;
  EXPECT_NE(run.err.find("[Info] Requires restart the application"), std::string::npos) << run.err;
}

TEST_F(HashhostDialogTest, ControlsAPersonCouldNotUseFailTheScriptWithTheReason) {
  const struct {
    const char* script;
    const char* line;
  } cases[] = {
      {"run Pigmora 0 Objects/Sample; tab 1; click 1102", "command 3 (click): control 1102 is disabled\n"},
      {"run Pigmora 0 Objects/Sample; click 1100", "command 2 (click): control 1100 is hidden\n"},
      {"run Pigmora 0 Objects/Sample; click 4242", "command 2 (click): no control 4242 in the dialog\n"},
      {"run Pigmora 0 Objects/Sample; tab 1; select 1204 1", "command 3 (select): control 1204 is disabled\n"},
      {"run Pigmora 0 Objects/Sample; tab 1; select 1200 4", "command 3 (select): control 1200 has no entry 4"},
      {"run Pigmora 0 Objects/Sample; tab 2", "command 2 (tab): control 1015 has no tab 2"},
      {"run Pigmora 0 Objects/Sample; check 1027 2", "command 2 (check): '2' is not 0 or 1\n"},
      {"run Pigmora 0 Objects/Sample; key enter", "command 2 (key): unknown key 'enter' (only escape)\n"},
      {"click 1001", "command 1 (click): no dialog is open\n"},
      {"answer maybe", "command 1 (answer): unknown button 'maybe'\n"},
      {"close", "command 1 (close): no dialog is open\n"},
      {"run Pigmora 0 Objects/Sample; screenshot x.png",
       "command 2 (screenshot): screenshots need the window display (--gui)\n"},
  };
  for (const auto& test : cases) {
    const HashhostRun run = RunHashhost(scratch, std::string("-c '") + test.script + "; tree'");
    EXPECT_EQ(run.exitCode, 1) << test.script;
    EXPECT_NE(run.err.find(std::string("hashhost: ") + test.line), std::string::npos) << test.script << "\n" << run.err;
    EXPECT_EQ(run.out.find("Project \"Untitled\""), std::string::npos) << "the script went on after " << test.script;
  }
}

TEST_F(HashhostDialogTest, ACancelledFileDialogKeepsThePath) {
  const HashhostRun run = RunHashhost(scratch, "-c 'run Pigmora 0 Objects/Sample; tab 1; file cancel; click 1017'");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_STREQ(GetRegistryString("Pigmora", "exePath", "").Get(), "...");
}

}  // namespace
