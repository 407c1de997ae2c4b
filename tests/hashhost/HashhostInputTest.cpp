// Arguments, numbers and quotes as people mistype them: each mistake is named
// for what it is, where it is, and without echoing megabytes back.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>

#include "HashhostRunner.h"

namespace {

class HashhostInputTest : public ::testing::Test {
protected:
  ScratchFolder scratch_;
};

TEST_F(HashhostInputTest, AnOptionWithoutItsValueSaysSo) {
  for (const char* option : {"-c", "--command", "--script", "--plugins"}) {
    const HashhostRun run = RunHashhost(scratch_, option);
    EXPECT_EQ(run.exitCode, 2) << option;
    EXPECT_EQ(run.err.rfind(std::string("hashhost: ") + option + " needs a value\n", 0), 0u) << run.err;
    EXPECT_EQ(run.err.find("unknown argument"), std::string::npos) << run.err;
  }
}

TEST_F(HashhostInputTest, AScriptThatIsAFolderOrMissingIsRefused) {
  const HashhostRun folder = RunHashhost(scratch_, "--script '" + scratch_.Root().string() + "'");
  EXPECT_EQ(folder.exitCode, 2);
  EXPECT_EQ(folder.err, "hashhost: cannot read script " + scratch_.Root().string() + ": it is a folder\n");
  EXPECT_TRUE(folder.out.empty()) << folder.out;
  const HashhostRun missing = RunHashhost(scratch_, "--script '" + scratch_.Path("absent.txt") + "'");
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.err.find("No such file"), std::string::npos) << missing.err;
}

// Anything but a regular file could block the host or feed it without end.
// Each run is bounded in time (RunHashhost): a hang fails the test.
TEST_F(HashhostInputTest, FilesThatAreNotRegularAreRefusedWithoutWaitingOrReading) {
  const std::string fifo = scratch_.Path("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {std::string("/dev/zero"), fifo}) {
    const HashhostRun script = RunHashhost(scratch_, "--script '" + path + "'");
    EXPECT_EQ(script.exitCode, 2) << path;
    EXPECT_EQ(script.err,
              "hashhost: cannot read script " + path + ": it is not a regular file (a device, pipe or socket)\n");
  }

  const std::string folder = scratch_.Path("models");
  std::filesystem::create_directories(folder);
  const std::string device = scratch_.Write("device.obj",
                                            "mtllib ../../../../../../../../dev/zero\n"
                                            "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  const std::string piped = scratch_.Write("piped.obj", "mtllib pipe\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  struct Case {
    std::string path;
    std::string problem;
  };
  const Case cases[] = {
      {folder, folder + ": it is a folder, not an OBJ file"},
      {"/dev/zero", "/dev/zero: it is a device, not an OBJ file"},
      {fifo, fifo + ": it is a pipe, not an OBJ file"},
      {device,
       device + " line 1: the material library '../../../../../../../../dev/zero' is a device, not a regular file"},
      {piped, piped + " line 1: the material library 'pipe' is a pipe, not a regular file"},
  };
  for (const Case& c : cases) {
    const HashhostRun run = RunHashhost(scratch_, "-c 'open \"" + c.path + "\"; tree'");
    EXPECT_EQ(run.exitCode, 1) << c.path;
    EXPECT_EQ(run.err, "hashhost: command 1 (open): " + c.problem + "\n");
    EXPECT_TRUE(run.out.empty()) << run.out;
  }
}

TEST_F(HashhostInputTest, AnUnclosedQuoteIsReportedWhereItOpened) {
  const std::string script = scratch_.Write("quote.txt", "plugins\nrun Pigmora 0 \"Objects/Sample\ntree\n\ntree\n");
  const HashhostRun run = RunHashhost(scratch_, "--script '" + script + "'");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err, "hashhost: " + script + ":2: a double quote opened here is not closed\n");
}

TEST_F(HashhostInputTest, WaitTakesDecimalSecondsUpToADay) {
  struct Case {
    const char* seconds;
    const char* problem;
  };
  const Case cases[] = {
      {"86401", "'86401' seconds is more than the 24-hour limit (86400)"},
      {"0x10", "'0x10' is not a decimal number of seconds"},
      {"1e3", "'1e3' is not a decimal number of seconds"},
      {"inf", "'inf' is not a decimal number of seconds"},
      {"-1", "'-1' is not a decimal number of seconds"},
      {"1.2.3", "'1.2.3' is not a number of seconds"},
  };
  for (const Case& c : cases) {
    const HashhostRun run = RunHashhost(scratch_, std::string("-c 'wait ") + c.seconds + "; tree'");
    EXPECT_EQ(run.exitCode, 1) << c.seconds;
    EXPECT_EQ(run.err, std::string("hashhost: command 1 (wait): ") + c.problem + "\n");
    EXPECT_TRUE(run.out.empty()) << "nothing after a refused wait runs";
  }
  EXPECT_EQ(RunHashhost(scratch_, "-c 'wait 0.05; wait .01; wait 2.'").exitCode, 0);
}

TEST_F(HashhostInputTest, EchoedNamesAreCutToAReadableLength) {
  const std::string name(1 << 20, 'n');
  const std::string script = scratch_.Write("long.txt", "run Pigmora 0 Objects/" + name + "\n" + name + "\n");
  const HashhostRun run = RunHashhost(scratch_, "--script '" + script + "'");
  EXPECT_NE(run.exitCode, 0);
  EXPECT_LT(run.err.size(), 1000u);
  EXPECT_NE(run.err.find("characters)"), std::string::npos) << run.err.substr(0, 1000);
  const HashhostRun unknown = RunHashhost(scratch_, "-c \"$(head -c 100000 /dev/zero | tr '\\0' x)\"");
  EXPECT_LT(unknown.err.size(), 1000u);
  EXPECT_NE(unknown.err.find("unknown command"), std::string::npos) << unknown.err.substr(0, 300);
}

TEST_F(HashhostInputTest, HelpListsEveryCommandAndEveryListedCommandIsOne) {
  const HashhostRun help = RunHashhost(scratch_, "--help");
  ASSERT_EQ(help.exitCode, 0) << help.err;
  // In the "Script commands:" section, up to its blank line, the commands' lines begin with two
  // blanks and the command.
  std::set<std::string> listed;
  const std::size_t section = help.out.find("\nScript commands:\n");
  ASSERT_NE(section, std::string::npos) << help.out;
  std::istringstream lines(help.out.substr(section + 1));
  std::string line;
  std::getline(lines, line);
  while (std::getline(lines, line) && !line.empty()) {
    if (line.rfind("  ", 0) != 0 || line.size() < 3 || line[2] == ' ') continue;
    listed.insert(line.substr(2, line.find(' ', 2) - 2));
  }
  for (const char* verb : {"plugins", "run", "wait", "wait-for", "tree", "open", "save-obj", "click", "check", "select",
                           "tab", "key", "close", "file", "answer", "screenshot", "pick", "menu"})
    EXPECT_TRUE(listed.count(verb)) << verb << " is missing from --help:\n" << help.out;
  for (const std::string& verb : listed) {
    const HashhostRun run = RunHashhost(scratch_, "-c '" + verb + "'");
    EXPECT_EQ(run.err.find("unknown command"), std::string::npos) << verb << ": " << run.err;
  }
}

TEST_F(HashhostInputTest, WindowCommandsWithoutTheWindowSayTheyNeedIt) {
  const HashhostRun pick = RunHashhost(scratch_, "-c 'pick Objects/Sample; tree'");
  EXPECT_EQ(pick.exitCode, 1);
  EXPECT_EQ(pick.err, "hashhost: command 1 (pick): picking in the tree needs the window display (--gui)\n");
  const HashhostRun menu = RunHashhost(scratch_, "-c 'menu Plugins/Export/Pigmora; tree'");
  EXPECT_EQ(menu.exitCode, 1);
  EXPECT_EQ(menu.err, "hashhost: command 1 (menu): the menu needs the window display (--gui)\n");
  EXPECT_EQ(menu.out.find("Project"), std::string::npos) << "the script went on";
}

}  // namespace
