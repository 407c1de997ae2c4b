// What the exchange with Pigmora does, as scripts read it: the lines a person
// reads in the window's status bar, on standard output with "status: ".
#include <gtest/gtest.h>

#include <FileIO/Registry.h>

#include <unistd.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "HashhostRunner.h"
#include "PeerAnswer.h"

namespace {

class HashhostStatusTest : public ::testing::Test {
protected:
  // Lines of the output that begin with "status: ", without it.
  static std::vector<std::string> StatusLines(const std::string& out) {
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
      if (line.rfind("status: ", 0) == 0) lines.push_back(line.substr(8));
    return lines;
  }

  // The third line of the command file the send wrote: "[keyword]".
  std::string SentModeLine() const {
    std::istringstream in(ScratchFolder::ReadFile(scratch_.ExchangePath() / "import.txt"));
    std::string line;
    for (int i = 0; i < 3; ++i) std::getline(in, line);
    return line;
  }

  ScratchFolder scratch_;
};

TEST_F(HashhostStatusTest, ASendThenAnAnswerWaitingThenItsReceiveEachSayOneLine) {
  SetRegistryString("Pigmora", "exePath", "/usr/bin/true");
  // The UV mapping button: the mode comes from the command file, not from a constant.
  const HashhostRun send = RunHashhost(scratch_, "-c 'run Pigmora 0 Objects/Sample; click 1010'");
  ASSERT_EQ(send.exitCode, 0) << send.err;
  ASSERT_EQ(SentModeLine(), "[uv]");
  EXPECT_EQ(
      StatusLines(send.out),
      std::vector<std::string>{"Sent \"Sample\" to Pigmora (Perform UV-mapping in Pigmora), waiting for its answer"})
      << send.out;

  std::string peerOutput;
  ASSERT_EQ(RunCommand(std::string("'") + PIGMORA_PEER_PATH + "' --once", &peerOutput), 0) << peerOutput;
  // Auto import is off: the answer waits until the user imports it.
  const HashhostRun receive = RunHashhost(scratch_, "-c 'wait-for \"is waiting\" 300; run Pigmora 2 Objects; tree'");
  ASSERT_EQ(receive.exitCode, 0) << receive.err;
  std::smatch model;
  ASSERT_TRUE(std::regex_search(receive.out, model, std::regex("Model \"Sample\" patches=(\\d+) .* groups=(\\d+) ")))
      << receive.out;
  // The images are those the model's decal clips show, each once.
  std::set<std::string> images;
  const std::regex clip("DecalClip .* image=(\"[^\"]*\")");
  for (auto it = std::sregex_iterator(receive.out.begin(), receive.out.end(), clip); it != std::sregex_iterator(); ++it)
    images.insert((*it)[1].str());
  ASSERT_FALSE(images.empty()) << receive.out;
  const std::string received = "Received \"Sample\" from Pigmora: " + model[1].str() + " patches, " + model[2].str() +
                               " groups, " + std::to_string(images.size()) + " images";
  EXPECT_EQ(StatusLines(receive.out),
            (std::vector<std::string>{"An answer from Pigmora is waiting: Plugins > Import > Pigmora", received}))
      << receive.out;
  const std::size_t waiting = receive.out.find("status: An answer");
  const std::size_t result = receive.out.find("run Pigmora 2 Objects: result=1\n");
  EXPECT_LT(waiting, result) << "the answer waits before the import";
  EXPECT_LT(result, receive.out.find("status: Received")) << receive.out;
}

TEST_F(HashhostStatusTest, WithAutoImportOnTheTimersReceiveIsReportedWithoutAWait) {
  ASSERT_TRUE(LeavePeerAnswerForTheSample(scratch_));
  SetRegistryValue("Pigmora", "AutoImport", 1);
  // An opened model is the host's own doing, not an answer.
  const std::string obj = scratch_.Write("quad.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n");
  const HashhostRun run = RunHashhost(scratch_, "-c 'open " + obj + "; wait-for Received 300; tree'");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<std::string> lines = StatusLines(run.out);
  ASSERT_EQ(lines.size(), 1u) << run.out;
  EXPECT_EQ(lines[0].rfind("Received \"Sample\" from Pigmora: ", 0), 0u) << run.out;
  EXPECT_FALSE(std::filesystem::exists(scratch_.ExchangePath() / "export.txt")) << "the timer took the answer";
}

TEST_F(HashhostStatusTest, AnAnswerAStoppedReceiveHadClaimedIsSaidToWaitAndSaidTakenBack) {
  ASSERT_TRUE(LeavePeerAnswerForTheSample(scratch_));
  // As a receive on another machine leaves the pair when it is killed, hours ago.
  const std::string claim = ".claimed-1-0000000000000001-1000-7-1";
  for (const char* name : {"textures.txt", "export.txt"})
    std::filesystem::rename(scratch_.ExchangePath() / name, scratch_.ExchangePath() / (name + claim));
  const HashhostRun run = RunHashhost(scratch_, "-c 'wait-for \"had claimed\" 300; run Pigmora 2 Objects'");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<std::string> lines = StatusLines(run.out);
  ASSERT_EQ(lines.size(), 2u) << run.out;
  EXPECT_EQ(lines[0], "An answer a stopped receive had claimed is waiting: Plugins > Import > Pigmora");
  EXPECT_EQ(lines[1].rfind("Received \"Sample\" from Pigmora (taken back from a receive that stopped): ", 0), 0u)
      << run.out;
  for (const auto& entry : std::filesystem::directory_iterator(scratch_.ExchangePath()))
    EXPECT_EQ(entry.path().filename().string().find(".claimed-"), std::string::npos) << entry.path();
}

// A read-only exchange folder: the timer's receive brings the model in but
// cannot remove the answer. The line says so instead of inviting the user to
// import it again, and no later tick, nor a later session, imports it again.
// An answer that failed there is not said to wait either.
TEST_F(HashhostStatusTest, AnAnswerThatCannotBeRemovedIsToldAsReceivedNotAsWaiting) {
  namespace fs = std::filesystem;
  ASSERT_TRUE(LeavePeerAnswerForTheSample(scratch_));
  SetRegistryValue("Pigmora", "AutoImport", 1);
  std::string asAnotherUser;
  if (geteuid() == 0) {
    // Permissions do not hold the superuser back: the host runs as an unprivileged user who may read everything
    // here, the registry file included, and may write the registry's folder.
    fs::permissions(scratch_.Root(), fs::perms::others_all, fs::perm_options::add);
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(scratch_.Root()))
      fs::permissions(entry.path(),
                      entry.is_directory() ? fs::perms::others_all : fs::perms::others_read | fs::perms::others_write,
                      fs::perm_options::add);
    asAnotherUser = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
  }
  const fs::perms writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  fs::permissions(scratch_.ExchangePath(), writable, fs::perm_options::remove);
  const HashhostRun run = RunHashhost(scratch_, "-c 'wait-for Received 300; wait 5'", asAnotherUser);
  // The plug-in says so in its box, which fails a script; once: no tick imports the answer again.
  EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
  const std::string box =
      "[Pigmora] The model was received, but can't delete 'export.txt' and 'textures.txt'; the automatic import "
      "leaves this answer alone until Pigmora writes a new one\n";
  const std::size_t first = run.err.find(box);
  EXPECT_NE(first, std::string::npos) << run.err;
  EXPECT_EQ(run.err.find(box, first + 1), std::string::npos) << run.err;
  const std::vector<std::string> lines = StatusLines(run.out);
  ASSERT_EQ(lines.size(), 1u) << run.out;
  EXPECT_EQ(lines[0].rfind("Received \"Sample\" from Pigmora: ", 0), 0u) << run.out;
  const std::string told = "; its answer could not be removed from the exchange folder";
  ASSERT_GT(lines[0].size(), told.size());
  EXPECT_EQ(lines[0].substr(lines[0].size() - told.size()), told) << run.out;
  EXPECT_TRUE(fs::exists(scratch_.ExchangePath() / "export.txt")) << "the answer stays where it was";

  // The next session: the box's word holds, and the answer is no news.
  const HashhostRun later = RunHashhost(scratch_, "-c 'wait 5'", asAnotherUser);
  EXPECT_EQ(later.exitCode, 0) << later.out << later.err;
  EXPECT_EQ(later.err.find("[Pigmora]"), std::string::npos) << "imported again: " << later.err;
  EXPECT_TRUE(StatusLines(later.out).empty()) << later.out;

  // An answer that fails in the read-only folder was taken all the same: it does not wait for an import.
  fs::permissions(scratch_.ExchangePath(), fs::perms::owner_write, fs::perm_options::add);
  ScratchFolder::WriteFile(scratch_.ExchangePath() / "export.txt", scratch_.Path("gone.fbx") + "\n");
  fs::permissions(scratch_.ExchangePath(), writable, fs::perm_options::remove);
  const HashhostRun failed = RunHashhost(scratch_, "-c 'wait 5'", asAnotherUser);
  fs::permissions(scratch_.ExchangePath(), fs::perms::owner_write, fs::perm_options::add);
  EXPECT_NE(failed.err.find("[Pigmora] Import: FBX file is not exists\nCan't delete"), std::string::npos) << failed.err;
  EXPECT_TRUE(StatusLines(failed.out).empty()) << failed.out;
}

TEST_F(HashhostStatusTest, NoSendNoAnswerNoLine) {
  SetRegistryString("Pigmora", "exePath", "/usr/bin/true");
  // A dialog closed without a send; an import with nothing to import.
  const HashhostRun run = RunHashhost(scratch_,
                                      "-c 'run Pigmora 0 Objects/Sample; close; run Pigmora 2 Objects; "
                                      "wait 0.6'");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(StatusLines(run.out).empty()) << run.out;

  // A send whose model file cannot be written is no send Pigmora could read.
  std::filesystem::create_directories(scratch_.ExchangePath() / "Hash" / "data" / "export.fbx");
  const HashhostRun failed = RunHashhost(scratch_, "-c 'run Pigmora 0 Objects/Sample; click 1001; wait 0.6'");
  EXPECT_TRUE(StatusLines(failed.out).empty()) << failed.out << failed.err;
}

}  // namespace
