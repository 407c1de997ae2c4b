// Every program answers --help and --version alike, on standard output with status 0, and names
// wrong arguments on standard error with status 2 and nothing on standard output.
#include <gtest/gtest.h>

#include <string>

#include "CommandRun.h"
#include "ScratchFolder.h"

namespace {

const char* const kTools[] = {"hashhost", "pigmora-peer", "fbxinfo", "fbxconvert"};

CommandRun RunTool(const ScratchFolder& scratch, const std::string& tool, const std::string& arguments) {
  return RunCapturing(std::string(TOOLS_DIR) + "/" + tool + " " + arguments, scratch.Path("err.txt"));
}

TEST(ToolMannersTest, VersionIsTheProjectsOnStandardOutput) {
  ScratchFolder scratch;
  for (const char* tool : kTools) {
    const CommandRun run = RunTool(scratch, tool, "--version");
    EXPECT_EQ(run.exitCode, 0) << tool;
    EXPECT_EQ(run.out, std::string(tool) + " (Pigmora applink) " PROJECT_VERSION "\n") << tool;
    EXPECT_EQ(run.err, "") << tool;
  }
}

TEST(ToolMannersTest, HelpGoesToStandardOutputWithItsUsageAndOptions) {
  ScratchFolder scratch;
  for (const char* tool : kTools) {
    for (const char* asked : {"--help", "-h"}) {
      const CommandRun run = RunTool(scratch, tool, asked);
      EXPECT_EQ(run.exitCode, 0) << tool << " " << asked;
      EXPECT_EQ(run.out.rfind(std::string("Usage: ") + tool + " ", 0), 0u) << tool << ": " << run.out;
      EXPECT_NE(run.out.find("--version"), std::string::npos) << tool;
      EXPECT_EQ(run.err, "") << tool;
    }
  }
}

TEST(ToolMannersTest, WrongArgumentsAreNamedOnStandardErrorWithStatusTwo) {
  ScratchFolder scratch;
  const std::pair<const char*, const char*> wrong[] = {{"hashhost", "--colour"},
                                                       {"hashhost", "--plugins"},
                                                       {"pigmora-peer", "--once --size 7"},
                                                       {"pigmora-peer", "--watch --stop-after soon"},
                                                       {"pigmora-peer", "--once --size 12x"},
                                                       {"pigmora-peer", ""},
                                                       {"fbxinfo", "--jsn a.fbx"},
                                                       {"fbxinfo", ""},
                                                       {"fbxconvert", "a.fbx b.fbx"},
                                                       {"fbxconvert", "a.fbx --ascii"},
                                                       {"fbxconvert", "a b --ascii --binary"},
                                                       {"fbxconvert", "a b --ascii --uncompressed"}};
  for (const auto& [tool, arguments] : wrong) {
    const CommandRun run = RunTool(scratch, tool, arguments);
    EXPECT_EQ(run.exitCode, 2) << tool << " " << arguments;
    EXPECT_EQ(run.out, "") << tool << " " << arguments;
    EXPECT_EQ(run.err.rfind(std::string(tool) + ": ", 0), 0u) << tool << " " << arguments << ": " << run.err;
    EXPECT_NE(run.err.find(std::string("Usage: ") + tool), std::string::npos) << run.err;
  }
}

// The host's help lists every script command it understands: one unknown to the list fails the script.
TEST(ToolMannersTest, HostHelpListsTheScriptCommands) {
  ScratchFolder scratch;
  const CommandRun help = RunTool(scratch, "hashhost", "--help");
  for (const char* command : {"plugins", "run", "wait", "wait-for", "tree", "open", "save-obj", "click", "check",
                              "select", "tab", "key", "close", "file", "answer", "screenshot"})
    EXPECT_NE(help.out.find(std::string("\n  ") + command + " "), std::string::npos) << command;
}

}  // namespace
